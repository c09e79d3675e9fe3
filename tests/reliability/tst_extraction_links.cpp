// Symbolic links in archives: the extractor itself refuses every link that
// leads out of the extraction folder, including chains of links that each
// look harmless on their own, and keeps the ordinary links of real bundles.

#include "LibarchiveExtractor.h"
#include "ReliabilityHelpers.h"
#include "errors/LauncherError.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Reliability;

namespace {

// Follows every link on the way as the system would (missing parts taken as written).
QByteArray resolve(const QByteArray &path)
{
    QList<QByteArray> stack;
    QList<QByteArray> pending = path.split('/');
    int hops = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!stack.isEmpty())
                stack.removeLast();
            continue;
        }
        stack.append(part);
        char target[4096];
        const ssize_t n = ::readlink(('/' + stack.join('/')).constData(), target, sizeof target);
        if (n < 0)
            continue;
        if (++hops > 64)
            return {};
        stack.removeLast();
        const QByteArray text(target, n);
        if (text.startsWith('/'))
            stack.clear();
        pending = text.split('/') + pending;
    }
    return '/' + stack.join('/');
}

struct Link {
    QString name;
    QString target;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Link>)

class ExtractionLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void links_data()
    {
        QTest::addColumn<QList<Link>>("links");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("framework style") << QList<Link>{{"F/Versions/Current", "A"}, {"F/Resources", "Versions/Current/Resources"}} << true;
        QTest::newRow("up and over") << QList<Link>{{"a/b/c", "../../d/e"}} << true;
        QTest::newRow("to the folder itself") << QList<Link>{{"a/self", ".."}} << true;
        QTest::newRow("absolute") << QList<Link>{{"a", "/etc/passwd"}} << false;
        QTest::newRow("one level too far up") << QList<Link>{{"a/b", "../../x"}} << false;
        QTest::newRow("dot then up through it") << QList<Link>{{"here", "."}, {"out", "here/../x"}} << false;
        QTest::newRow("up through a link, link last") << QList<Link>{{"out", "here/../x"}, {"here", "."}} << false;
        QTest::newRow("chain of two") << QList<Link>{{"a/up", ".."}, {"escape", "a/up/../x"}} << false;
        QTest::newRow("deep chain") << QList<Link>{{"d/e/f", "../.."}, {"g", "d/e/f/../../x"}} << false;
    }

    void links()
    {
        QFETCH(QList<Link>, links);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Escapes of a few levels land in the temporary folder, where they are seen.
        const QString out = dir.filePath(QStringLiteral("one/two/out"));
        QVERIFY(QDir().mkpath(out));

        ZipBuilder zip;
        zip.addFile(QStringLiteral("keep.txt"), "inside");
        for (const Link &link : links)
            zip.addSymlink(link.name, link.target);
        const QString archive = dir.filePath(QStringLiteral("links.zip"));
        QVERIFY(zip.writeTo(archive));

        bool refused = false;
        try {
            LibarchiveExtractor().extractZip(archive, out);
        } catch (const PlatformError &error) {
            QCOMPARE(error.domain(), PlatformError::Domain::archive);
            refused = true;
        }
        QCOMPARE(!refused, accepted);
        // Whatever was written, no link there leads out.
        const QByteArray base = QFile::encodeName(QFileInfo(out).canonicalFilePath());
        QDirIterator it(out, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!QFileInfo(path).isSymLink())
                continue;
            const QByteArray where = resolve(QFile::encodeName(QFileInfo(path).absoluteFilePath()));
            QVERIFY2(where == base || where.startsWith(base + '/'), qPrintable(path + QStringLiteral(" -> ") + QString::fromUtf8(where)));
        }
        QCOMPARE(QDir(dir.filePath(QStringLiteral("one/two"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("out")});
    }
};

QTEST_GUILESS_MAIN(ExtractionLinks)
#include "tst_extraction_links.moc"
