// vantrel-demo-app: the program inside every sample bundle. It shows the
// name and version written in its bundle's Contents/Info.plist, so each
// sample app is the same binary with its own identity.

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QXmlStreamReader>
#include <csignal>
#include <cstdio>

namespace {

struct BundleInfo {
    QString name;
    QString version;
    QString identifier;
    QString plistPath;
};

// Top-level string values of an XML property list.
QMap<QString, QString> readPlistStrings(const QString &path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    QXmlStreamReader xml(&file);
    int dictDepth = 0;
    QString key;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("dict")) {
                ++dictDepth;
            } else if (dictDepth == 1 && name == QLatin1String("key")) {
                key = xml.readElementText();
            } else if (dictDepth == 1 && name == QLatin1String("string") && !key.isEmpty()) {
                values.insert(key, xml.readElementText());
                key.clear();
            } else if (dictDepth == 1) {
                key.clear();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("dict")) {
            --dictDepth;
        }
    }
    return values;
}

QString executablePath(const char *argv0)
{
    // Linux: the real file even when started through a symbolic link.
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return self.isEmpty() ? QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath() : self;
}

BundleInfo bundleInfo(const char *argv0)
{
    // EXECUTABLE lives in NAME.app/Contents/MacOS/; Info.plist in NAME.app/Contents/.
    const QFileInfo exe(executablePath(argv0));
    BundleInfo info;
    info.plistPath = QFileInfo(exe.absolutePath() + QStringLiteral("/../Info.plist")).absoluteFilePath();
    const QMap<QString, QString> values = readPlistStrings(info.plistPath);
    info.name = values.value(QStringLiteral("CFBundleName"), exe.fileName());
    info.version = values.value(QStringLiteral("CFBundleShortVersionString"), QStringLiteral("unknown"));
    info.identifier = values.value(QStringLiteral("CFBundleIdentifier"));
    return info;
}

// Tells a waiting test (or script) that this instance is up and who it is.
void writeMarker(const QString &path, const BundleInfo &info)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QJsonObject marker{{QStringLiteral("pid"), QCoreApplication::applicationPid()},
                             {QStringLiteral("name"), info.name},
                             {QStringLiteral("version"), info.version},
                             {QStringLiteral("bundleId"), info.identifier},
                             {QStringLiteral("plist"), info.plistPath}};
    file.write(QJsonDocument(marker).toJson(QJsonDocument::Compact));
    file.commit();
}

}  // namespace

int main(int argc, char *argv[])
{
    // Started detached, the program may inherit a pipe nobody reads any more;
    // a warning written to it must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    const BundleInfo info = bundleInfo(argv[0]);

#ifdef Q_OS_LINUX
    // Without any display there is no window to show: say who we are and stop.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::printf("%s %s (%s): no display to show a window on\n", qPrintable(info.name), qPrintable(info.version),
                    qPrintable(info.identifier));
        return 0;
    }
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(info.name);
    QApplication::setApplicationVersion(info.version);

    QWidget window;
    window.setWindowTitle(info.name);
    auto *layout = new QVBoxLayout(&window);
    auto *name = new QLabel(info.name);
    QFont big = name->font();
    big.setPointSize(26);
    big.setBold(true);
    name->setFont(big);
    auto *version = new QLabel(QStringLiteral("Version %1").arg(info.version));
    auto *identifier = new QLabel(info.identifier);
    identifier->setStyleSheet(QStringLiteral("color: #808080"));
    for (QLabel *label : {name, version, identifier}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    window.resize(360, 200);
    window.show();

    const QString marker = qEnvironmentVariable("VANTREL_DEMO_MARKER");
    const QString screenshot = qEnvironmentVariable("VANTREL_DEMO_SCREENSHOT");
    QTimer::singleShot(0, &app, [&window, marker, screenshot, info] {
        if (!screenshot.isEmpty())
            window.grab().save(screenshot);
        if (!marker.isEmpty())
            writeMarker(marker, info);
    });
    // A backstop for automated runs, so a forgotten instance does not linger.
    bool ok = false;
    const int quitAfterMs = qEnvironmentVariableIntValue("VANTREL_DEMO_QUIT_AFTER_MS", &ok);
    if (ok && quitAfterMs > 0)
        QTimer::singleShot(quitAfterMs, &app, &QCoreApplication::quit);

    return app.exec();
}
