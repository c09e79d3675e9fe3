#include "TrayController.h"

#include "SymbolGlyphs.h"
#include "AppScenes.h"
#include "X11WindowHints.h"
#include "store/LauncherStore.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>

TrayController::TrayController(LauncherStore *store, QWindow *panel, const QString &appName, QObject *parent)
    : QObject(parent), m_store(store), m_panel(panel), m_menu(std::make_unique<QMenu>())
{
    m_open = m_menu->addAction(QString(), AppScenes::instance(), &AppScenes::showMainWindow);
    m_open->setObjectName(QStringLiteral("trayOpen"));
    m_about = m_menu->addAction(QString(), AppScenes::instance(), &AppScenes::showAboutWindow);
    m_about->setObjectName(QStringLiteral("trayAbout"));
    m_menu->addSeparator();
    m_quit = m_menu->addAction(QString(), AppScenes::instance(), &AppScenes::quit);
    m_quit->setObjectName(QStringLiteral("trayQuit"));
    m_quit->setShortcut(QKeySequence::Quit);
    retranslateMenu();
    connect(store, &LauncherStore::localeChanged, this, &TrayController::retranslateMenu);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_icon = std::make_unique<QSystemTrayIcon>(renderIcon());
    m_icon->setContextMenu(m_menu.get());
    m_icon->setToolTip(appName);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            togglePanel();
    });
    connect(m_icon.get(), &QSystemTrayIcon::messageClicked, this, &TrayController::messageClicked);
    connect(store, &LauncherStore::showMenuBarExtraChanged, this, &TrayController::sync);
    AppScenes::instance()->setTrayAvailable(true);
    sync();
}

TrayController::~TrayController() = default;

void TrayController::retranslateMenu()
{
    if (!m_store)
        return;
    // A menu item writes its ellipsis as the one character.
    m_open->setText(qtTrId("trayMenuOpen"));
    m_about->setText(qtTrId("aboutVantrel"));
    m_quit->setText(qtTrId("quitAction"));
}

bool TrayController::isAvailable() const
{
    return m_icon != nullptr;
}

bool TrayController::isIconVisible() const
{
    return m_icon && m_icon->isVisible();
}

bool TrayController::showMessage(const QString &title, const QString &body)
{
    if (!isIconVisible() || !QSystemTrayIcon::supportsMessages())
        return false;
    m_icon->showMessage(title, body, renderIcon());
    return true;
}

QIcon TrayController::renderIcon()
{
    QIcon icon;
    for (int side : {16, 22, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font(SymbolGlyphs::ensureFontLoaded());
        font.setPixelSize(side);
        painter.setFont(font);
        painter.setPen(QColor(0xF3, 0xF4, 0xF6));
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, SymbolGlyphs::glyphFor(QStringLiteral("square.grid.2x2")));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void TrayController::sync()
{
    if (!m_icon || !m_store)
        return;
    const bool shown = m_store->showMenuBarExtra();
    m_icon->setVisible(shown);
    if (!shown && m_panel)
        m_panel->hide();
}

void TrayController::togglePanel()
{
    if (!m_panel && m_panelProvider)
        m_panel = m_panelProvider();
    if (!m_panel || !m_icon)
        return;
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    // Below the icon when it sits at the top of the screen, above it otherwise.
    // Trays that do not tell where the icon is (StatusNotifierItem) were just
    // clicked: the pointer is on the icon.
    QRect iconRect = m_icon->geometry();
    if (!iconRect.isValid())
        iconRect = QRect(QCursor::pos() - QPoint(8, 8), QSize(16, 16));
    QScreen *screen = iconRect.isValid() ? QGuiApplication::screenAt(iconRect.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    QPoint pos;
    if (iconRect.isValid()) {
        const int x = std::clamp(iconRect.center().x() - m_panel->width() / 2, area.left(), area.right() - m_panel->width());
        const bool top = iconRect.center().y() < area.center().y();
        const int y = top ? iconRect.bottom() + 4 : iconRect.top() - m_panel->height() - 4;
        pos = QPoint(x, y);
    } else {
        pos = QPoint(area.right() - m_panel->width() - 8, area.top() + 8);
    }
    m_panel->setPosition(pos);
    X11WindowHints::keepOutOfTaskbar(m_panel);
    m_panel->show();
    m_panel->raise();
    m_panel->requestActivate();
}
