#pragma once
// The checkout sheet's own work: ordering a plan with the chosen pay type and gateway, then polling the open
// order (every 3 s, at most 100 times, one polling run per sheet) until it is paid or the sheet closes.
// Closing ends the run at once; an answer that arrives after closing never refills or reopens the sheet.
#include "service/CommerceRecords.h"
#include "store/NewestReply.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <QCoro/QCoroTask>

class CheckoutFlow : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString payType READ payType WRITE setPayType NOTIFY payTypeChanged)
    Q_PROPERTY(QString gateway READ gateway WRITE setGateway NOTIFY gatewayChanged)
    Q_PROPERTY(QString gatewayLabel READ gatewayLabel NOTIFY gatewayChanged)
    Q_PROPERTY(bool polling READ polling NOTIFY pollingChanged)
    Q_PROPERTY(int polls READ polls NOTIFY pollsChanged)
    Q_PROPERTY(int pollInterval READ pollInterval WRITE setPollInterval NOTIFY pollIntervalChanged)

public:
    static constexpr int maxPolls = 100;

    explicit CheckoutFlow(QObject *parent = nullptr);
    ~CheckoutFlow() override;

    // The key of the chosen PayType; a key that names none is ignored.
    [[nodiscard]] QString payType() const { return payTypeKey(m_payType); }
    void setPayType(const QString &key);
    [[nodiscard]] QString gateway() const { return m_gateway; }
    void setGateway(const QString &gateway);
    // "虎皮椒" for "hubijiao", otherwise "讯虎".
    [[nodiscard]] QString gatewayLabel() const;
    [[nodiscard]] bool polling() const { return m_polling; }
    [[nodiscard]] int polls() const { return m_polls; }
    [[nodiscard]] int pollInterval() const { return m_pollInterval; }
    void setPollInterval(int ms);

    // Switches between the two gateways.
    Q_INVOKABLE void toggleGateway();
    // Orders `plan` (a storePlan) with the sheet's pay type and gateway; the order is then polled.
    Q_INVOKABLE void choose(const QVariant &plan);
    QCoro::Task<> chooseTask(int planId);
    // Ends any running poll and starts a new run. Also started by itself whenever a new order opens while the
    // sheet is open, however it was ordered (this sheet, the membership page or the sponsor strip).
    Q_INVOKABLE void startPolling();
    // Stops polling, drops the open order and asks the sheet to go away.
    Q_INVOKABLE void close();

Q_SIGNALS:
    void payTypeChanged();
    void gatewayChanged();
    void pollingChanged();
    void pollsChanged();
    void pollIntervalChanged();
    void closeRequested();

private:
    void checkoutChanged();
    QCoro::Task<> pollOnce();
    void setPolling(bool polling);
    void setPolls(int polls);

    PayType m_payType = PayType::wechat;
    QString m_gateway = QStringLiteral("hubijiao");
    bool m_polling = false;
    int m_polls = 0;
    int m_pollInterval = 3000;
    // Single shot, started for each wait between polls; stopping it ends the run with nothing left waiting.
    QTimer m_pollTimer;
    // Changes whenever polling is restarted or the sheet closes: a run or an order reply of an older value
    // has been superseded and stops without touching anything.
    NewestReply m_runs;
    // The order the current run polls; a different open order starts a new run.
    QString m_order;
    bool m_closed = false;
};
