#include "LauncherOptions.h"

#include "SystemLanguage.h"
#include "i18n/VantrelTranslator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

const QString hidden = QStringLiteral("hidden");

// The options, described in the language installed.
void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(qtTrId("launcherDescription"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"), qtTrId("launcherVersionOption")});
    parser.addOption({hidden, qtTrId("launcherHiddenOption")});
    parser.addPositionalArgument(QStringLiteral("link"), qtTrId("launcherLinkArgument"), QStringLiteral("[vantrel://app/ID]"));
}

bool asked(int argc, char *argv[], std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *name : names) {
            if (std::strcmp(argv[i], name) == 0)
                return true;
        }
    }
    return false;
}

}  // namespace

namespace LauncherOptions {

std::optional<int> answerWithoutWindows(int argc, char *argv[])
{
    if (asked(argc, argv, {"--version"})) {
        std::printf("vantrel-launcher %s\n", VANTREL_VERSION);
        return 0;
    }
    if (!asked(argc, argv, {"-h", "--help", "-?", "--help-all"}))
        return std::nullopt;
    // A core application only: it reaches no display and no bus.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-launcher"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    // The help reads in the system's language, as every other text does.
    const VantrelTranslator texts(VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage()));
    QCommandLineParser parser;
    describe(parser);
    // Qt's own options (-platform and the like) are no mistake here.
    parser.parse(QCoreApplication::arguments());
    parser.showHelp(0);  // prints and exits
}

bool startsHidden(const QCoreApplication &app)
{
    const VantrelTranslator texts(VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage()));
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    return parser.isSet(hidden);
}

}  // namespace LauncherOptions
