#include "NoDisplayExit.h"

#include "SystemLanguage.h"
#include "i18n/VantrelTranslator.h"

#include <QTranslator>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previous = nullptr;

// The application object is half made: the text comes from a translator of
// its own rather than the installed ones.
QByteArray noDisplayText()
{
    const char *id = QT_TRID_NOOP("launcherNoDisplay");
    QTranslator texts;
    if (texts.load(VantrelTranslator::qmFile(VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage())))) {
        const QString translated = texts.translate(nullptr, id);
        if (!translated.isEmpty())
            return translated.toUtf8();
    }
    QTranslator english;
    if (english.load(VantrelTranslator::qmFile(VantrelLocale::en)))
        return english.translate(nullptr, id).toUtf8();
    return id;
}

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (previous)
            previous(type, context, message);
        return;
    }
    std::fprintf(stderr, "vantrel-launcher: %s\n", noDisplayText().constData());
    std::fflush(stderr);
    // Not exit(): the application object is being built, and nothing of ours needs its destructors.
    std::_Exit(1);
}

}  // namespace

NoDisplayExit::NoDisplayExit()
{
    previous = qInstallMessageHandler(handle);
}

NoDisplayExit::~NoDisplayExit()
{
    qInstallMessageHandler(previous);
}
