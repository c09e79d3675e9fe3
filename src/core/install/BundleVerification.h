#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// One way a bundle differs from what its install placed.
struct VerificationFinding {
    Q_GADGET

public:
    enum class Kind {
        missing,       // gone, or the folder it was in is (only the topmost is named)
        changed,       // a file's content, or an entry that became something else
        permissions,   // read, write or execute bits
        linkChanged,   // a link that points elsewhere now, or is no link any more
        linkLeadsOut,  // now a link leading out of the bundle
        extra,         // not placed by the install; listed, no damage on its own
        // The app's desktop entry or an icon of it (the path is below the
        // user's data folder): gone, or the entry differs from what was written.
        desktopMissing,
        desktopChanged,
    };
    Q_ENUM(Kind)

    Kind kind = Kind::changed;
    QByteArray path;  // below the bundle (desktop kinds: below the data folder), as the file system spells it

    friend bool operator==(const VerificationFinding &, const VerificationFinding &) = default;
};

// What a verify of one installed bundle found. Readable from QML: whether it
// is damaged, whether a repair is offered, and the one line that says why.
struct BundleVerification {
    Q_GADGET
    Q_PROPERTY(bool damaged READ isDamaged CONSTANT)
    Q_PROPERTY(bool offersRepair READ offersRepair CONSTANT)
    Q_PROPERTY(QString summary READ summary CONSTANT)

public:
    enum class Status {
        intact,             // as installed (extra entries aside)
        damaged,            // findings other than extra entries
        legacyReceipt,      // installed before verification existed: nothing to compare with
        unreadableReceipt,  // the receipt is garbled, cut short or hostile; nothing was compared
        cancelled,
    };
    Q_ENUM(Status)

    // What would put the bundle right.
    enum class Repair {
        none,
        permissions,  // the permission bits, in place, without a download
        reinstall,    // a fresh install of the installed version (the repair install)
        desktop,      // the desktop entry and icons written again, without a download
    };
    Q_ENUM(Repair)

    Status status = Status::intact;
    QString receiptVersion;                // the version the receipt names (empty when it names none)
    QList<VerificationFinding> findings;   // by path
    QString problem;                       // unreadableReceipt: why, in English, for logs

    int count(VerificationFinding::Kind kind) const;
    // Adds findings of what lies outside the bundle (its desktop entry):
    // damage to a copy found intact, nothing to one that was not compared.
    void addFindings(const QList<VerificationFinding> &more);
    Repair repair() const;
    bool isDamaged() const { return status == Status::damaged; }
    bool offersRepair() const { return repair() != Repair::none; }

    // One line for people, in the installed language: "2 files changed,
    // 1 missing", "Intact", "Installed before verification existed", ...
    QString summary() const;
    // What a finding's kind is called in a list of findings ("missing").
    static QString kindLabel(VerificationFinding::Kind kind);
};

// What the caller of a verify hears while it runs.
struct VerifyControl {
    // Bytes read so far and the bytes there are to read (0 until the entries
    // are checked); on the main thread, at most ten times a second.
    std::function<void(qint64, qint64)> onProgress;
    // Set it to stop the verify: the result is then `cancelled`.
    std::shared_ptr<std::atomic_bool> cancel;
};

Q_DECLARE_METATYPE(BundleVerification)
