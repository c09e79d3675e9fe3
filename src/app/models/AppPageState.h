#pragma once

#include "AppPageRules.h"
#include "StoreLink.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// One app's page as the store has it now: the main action, the line under
// the state, whether the catalog lists the app, and the user's decisions
// about its updates. Follows the store; the rules are appPageView's.
class AppPageState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LauncherStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(QString appId READ appId WRITE setAppId NOTIFY appIdChanged)
    // `AppPageState.Action.Open` in the views.
    Q_PROPERTY(Action primaryAction READ primaryAction NOTIFY changed)
    Q_PROPERTY(QString primaryText READ primaryText NOTIFY changed)
    Q_PROPERTY(QString primarySymbol READ primarySymbol NOTIFY changed)
    // A primary button; a secondary one where the action only waits or refreshes.
    Q_PROPERTY(bool primaryProminent READ primaryProminent NOTIFY changed)
    Q_PROPERTY(bool primaryEnabled READ primaryEnabled NOTIFY changed)
    Q_PROPERTY(QString detailText READ detailText NOTIFY changed)
    Q_PROPERTY(bool listed READ listed NOTIFY changed)
    Q_PROPERTY(bool damaged READ damaged NOTIFY changed)
    Q_PROPERTY(bool decisionsShown READ decisionsShown NOTIFY changed)
    Q_PROPERTY(QString decisionText READ decisionText NOTIFY changed)
    Q_PROPERTY(bool held READ held NOTIFY changed)
    Q_PROPERTY(QString skippedVersion READ skippedVersion NOTIFY changed)
    // A change waits for the app to quit.
    Q_PROPERTY(bool waiting READ waiting NOTIFY changed)
    // The installed version a process of the app still running does not use yet; empty when none.
    Q_PROPERTY(QString restartVersion READ restartVersion NOTIFY changed)

public:
    enum class Action {
        RefreshCatalog = int(AppPageAction::refreshCatalog),
        Installing = int(AppPageAction::installing),
        Repair = int(AppPageAction::repair),
        Update = int(AppPageAction::update),
        Open = int(AppPageAction::open),
        Retry = int(AppPageAction::retry),
        Install = int(AppPageAction::install),
    };
    Q_ENUM(Action)

    explicit AppPageState(QObject *parent = nullptr);

    LauncherStore *store() const { return m_store.get(); }
    void setStore(LauncherStore *store);
    const QString &appId() const { return m_appId; }
    void setAppId(const QString &appId);

    Action primaryAction() const { return Action(m_view.action); }
    const QString &primaryText() const { return m_view.actionText; }
    QString primarySymbol() const;
    bool primaryProminent() const;
    bool primaryEnabled() const { return m_view.actionEnabled; }
    const QString &detailText() const { return m_view.detail; }
    bool listed() const { return m_facts.notListedKey.isEmpty(); }
    bool damaged() const { return m_view.damaged; }
    bool decisionsShown() const { return m_view.decisionsShown; }
    const QString &decisionText() const { return m_view.decisionText; }
    bool held() const { return m_facts.held; }
    const QString &skippedVersion() const { return m_facts.skippedVersion; }
    bool waiting() const { return m_facts.waiting; }
    const QString &restartVersion() const { return m_restartVersion; }

    // Does what the main button says; nothing while the app installs.
    Q_INVOKABLE void triggerPrimary();

    // What the store says of appId now.
    static AppPageFacts factsFrom(const LauncherStore &store, const QString &appId);

Q_SIGNALS:
    void storeChanged();
    void appIdChanged();
    void changed();

private:
    void recompute();

    StoreLink m_store;
    QString m_appId;
    AppPageFacts m_facts;
    AppPageView m_view = appPageView(m_facts);
    QString m_restartVersion;
};
