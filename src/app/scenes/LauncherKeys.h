#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The key sequences the launcher binds in more than one place, declared once.
// The windows' Shortcut items bind them, the hints beside buttons and rows show
// their native text (KeyHints), and the desktop-wide grab takes the quick
// switcher's. QML reads them in Qt's portable form ("Ctrl+K", Command on macOS).
class LauncherKeys : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString quit READ quitText CONSTANT)
    Q_PROPERTY(QString quickSwitcher READ quickSwitcherText CONSTANT)
    Q_PROPERTY(QString mainWindow READ mainWindowText CONSTANT)

public:
    explicit LauncherKeys(QObject *parent = nullptr) : QObject(parent) {}

    // The platform's Quit; Ctrl+Q where its key scheme names none (Qt's
    // Windows scheme, which the offscreen platform uses).
    static QKeySequence quit();
    // From anywhere on the desktop, too: a single key with modifiers.
    static QKeySequence quickSwitcher() { return QKeySequence(Qt::CTRL | Qt::Key_K); }
    // The tray panel's way to the main window.
    static QKeySequence mainWindow() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T); }

    // The tray panel's row `row` (from 0): Ctrl+1 … Ctrl+9; none past the ninth.
    Q_INVOKABLE QString panelRow(int row) const;

private:
    QString quitText() const { return quit().toString(QKeySequence::PortableText); }
    QString quickSwitcherText() const { return quickSwitcher().toString(QKeySequence::PortableText); }
    QString mainWindowText() const { return mainWindow().toString(QKeySequence::PortableText); }
};
