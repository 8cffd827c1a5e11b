// The app detail page over a Store holding a detail record: the get button's states, the description's
// subheadings, the version history, the reviews and a missing category. Checked by object name and model.
#include "screens/detail/DetailModels.h"
#include "screens/detail/GetAction.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QRegularExpression>
#include <QtTest>

#include "Fixtures.h"
#include "ItemQuery.h"
#include "RecordingPlatform.h"
#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

namespace {

QJsonArray versions(int n)
{
    QJsonArray out;
    for (int i = 0; i < n; ++i)
        out.append(QJsonObject{{u"version"_s, u"1.%1.0"_s.arg(n - i)},
                               {u"size"_s, u"10 MB"_s},
                               {u"releasedAt"_s, u"2026-0%1-15T08:00:00Z"_s.arg(9 - i)}});
    return out;
}

} // namespace

class DetailTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScreenEngine> m_screens;
    RecordingPlatform m_platform;

    // Shows the fixture detail with `edit` applied to its JSON and loads the page.
    std::unique_ptr<QObject> page(const std::function<void(QJsonObject &detail, QJsonObject &app)> &edit = {})
    {
        QJsonObject json = readJson(u"window-detail.json"_s);
        QJsonObject app = json[u"app"_s].toObject();
        if (edit)
            edit(json, app);
        json[u"app"_s] = app;
        m_screens->store.setDetail(decode<StoreDetail>(json));
        return m_screens->load(u"Detail/AppDetailView.qml"_s, {{u"width"_s, 1100}, {u"height"_s, 900}});
    }

private Q_SLOTS:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(u"qrc:/qt/qml/Vexlo/"_s));
        Endpoint::setBase(u"http://127.0.0.1:9"_s);
        Platform::setInstance(&m_platform);
        m_platform.revealed.clear();
        m_screens = std::make_unique<ScreenEngine>();
    }

    void cleanup()
    {
        m_screens.reset();
        Platform::setInstance(nullptr);
    }

    void getButtonStates_data()
    {
        QTest::addColumn<bool>("needsSponsor");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("fetching");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<bool>("isFree");
        QTest::addColumn<GetAction::Kind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        using enum GetAction::Kind;
        QTest::newRow("sponsors only") << true << false << false << QString() << false << SponsorOnly << u"赞助后获取"_s
                                       << u"向赞助会员开放"_s;
        QTest::newRow("sponsors only, unlocked: ordinary get")
            << true << true << false << QString() << false << Get << u"下载"_s << u"含于赞助会员"_s;
        QTest::newRow("fetching wins over sponsors only")
            << true << false << true << QString() << false << Fetching << u"获取中…"_s << QString();
        QTest::newRow("fetching wins over a record")
            << false << true << true << u"1.0"_s << true << Fetching << u"获取中…"_s << QString();
        QTest::newRow("recorded: fetch again")
            << false << true << false << u"2.4.1"_s << true << Again << u"重新下载"_s << u"已获取 · 2.4.1"_s;
        QTest::newRow("free") << false << true << false << QString() << true << Get << u"获取"_s
                              << u"免费 · 无需账户"_s;
    }

    // The table through the page's button: what shows, what is enabled and what a press does.
    void getButtonStates()
    {
        QFETCH(bool, needsSponsor);
        QFETCH(bool, unlocked);
        QFETCH(bool, fetching);
        QFETCH(QString, recorded);
        QFETCH(bool, isFree);
        QFETCH(GetAction::Kind, kind);
        QFETCH(QString, title);
        QFETCH(QString, caption);
        const QString slug = u"muse-chat"_s;
        if (fetching)
            m_screens->store.setDownloading({slug});
        if (!recorded.isEmpty())
            m_screens->store.setInstalled(
                {{slug, {slug, slug, recorded, u"1 MB"_s, QDateTime::currentDateTimeUtc(), u"/tmp/muse-chat.dmg"_s}}});
        auto view = page([&](QJsonObject &detail, QJsonObject &app) {
            detail[u"needsSponsor"_s] = needsSponsor;
            detail[u"unlocked"_s] = unlocked;
            app[u"isFree"_s] = isFree;
        });
        QObject *area = one(view.get(), u"getArea"_s);
        QVERIFY(area);
        QCOMPARE(area->property("state").toInt(), int(kind));

        using Kind = GetAction::Kind;
        QCOMPARE(shown(area, u"getBusy"_s), kind == Kind::Fetching);
        QCOMPARE(text(area, kind == Kind::Fetching ? u"getBusyText"_s : u"getButton"_s), title);
        if (kind != Kind::Fetching)
            QCOMPARE(text(area, kind == Kind::Again ? u"getRecord"_s : u"getCaption"_s), caption);
        QCOMPARE(shown(area, u"getCaption"_s), kind == Kind::SponsorOnly || kind == Kind::Get);
        // A press: the record shows the file; sponsors only leads to membership; a get asks for the links.
        QCOMPARE(press(area, kind == Kind::Again ? u"getRecord"_s : u"getButton"_s), kind != Kind::Fetching);
        QCOMPARE(m_platform.revealed, kind == Kind::Again ? QStringList{u"/tmp/muse-chat.dmg"_s} : QStringList());
        QCOMPARE(m_screens->store.section() == Store::Section::member, kind == Kind::SponsorOnly);
        QCOMPARE(m_screens->store.netdiskFor(), kind == Kind::Get ? std::optional(slug) : std::nullopt);
        // The links request (to a closed port) ends before the store goes: no action is left suspended.
        QTRY_VERIFY(!m_screens->store.netdiskBusy());

        // The button follows the store: a download starting later takes over at once.
        m_screens->store.setDownloading({slug});
        QCOMPARE(area->property("state").toInt(), int(Kind::Fetching));
    }

    void descriptionSubheadings_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<bool>>("headings");
        QTest::newRow("heading and body")
            << u"## 亮点\n本机运行"_s << QStringList{u"亮点"_s, u"本机运行"_s} << QList<bool>{true, false};
        QTest::newRow("no space after the signs")
            << u"##亮点\n## 说明"_s << QStringList{u"##亮点"_s, u"说明"_s} << QList<bool>{false, true};
        QTest::newRow("three signs, indented")
            << u"### 细节\n ## 缩进"_s << QStringList{u"### 细节"_s, u" ## 缩进"_s} << QList<bool>{false, false};
        QTest::newRow("heading text keeps its own spaces")
            << u"##  两个空格"_s << QStringList{u" 两个空格"_s} << QList<bool>{true};
    }

    void descriptionSubheadings()
    {
        QFETCH(QString, description);
        QFETCH(QStringList, lines);
        QFETCH(QList<bool>, headings);
        DescriptionModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setText(description);
        QCOMPARE(model.rowCount(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(model.index(i).data(DescriptionModel::LineRole).toString(), lines[i]);
            QCOMPARE(model.index(i).data(DescriptionModel::HeadingRole).toBool(), headings[i]);
        }

        auto view = page([&](QJsonObject &, QJsonObject &app) { app[u"description"_s] = description; });
        QCOMPARE(texts(view.get(), u"descriptionHeading"_s).size(), headings.count(true));
        QCOMPARE(texts(view.get(), u"descriptionLine"_s).size(), headings.count(false));
    }

    // The version history, the reviews and the category as the record has them.
    void listsAndCategory_data()
    {
        QTest::addColumn<int>("versionCount"); // -1: the record has no version list
        QTest::addColumn<int>("reviews");
        QTest::addColumn<bool>("category");
        QTest::newRow("no versions, reviews or category") << -1 << 0 << false;
        QTest::newRow("empty version list") << 0 << 0 << false;
        QTest::newRow("two versions, six reviews") << 2 << 6 << true;
        QTest::newRow("seven versions") << 7 << 6 << true;
    }

    void listsAndCategory()
    {
        QFETCH(int, versionCount);
        QFETCH(int, reviews);
        QFETCH(bool, category);
        auto view = page([&](QJsonObject &detail, QJsonObject &app) {
            if (versionCount < 0)
                detail.remove(u"versions"_s);
            else
                detail[u"versions"_s] = versions(versionCount);
            QJsonArray list;
            for (int i = 0; i < reviews; ++i)
                list.append(QJsonObject{{u"id"_s, i},
                                        {u"nickname"_s, i == 0 ? u"𠀋山"_s : u"读者%1"_s.arg(i)},
                                        {u"rating"_s, 4},
                                        {u"content"_s, u"好用"_s},
                                        {u"createdAt"_s, u"2026-11-30T09:00:00Z"_s}});
            detail[u"reviews"_s] = list;
            if (!category)
                app.remove(u"categoryName"_s);
        });
        QCOMPARE(shown(view.get(), u"versionSection"_s), versionCount >= 0);
        if (versionCount >= 0) {
            QCOMPARE(text(view.get(), u"versionCaption"_s),
                     u"共 %1 个版本，升级后出现兼容问题可降回"_s.arg(versionCount));
            QCOMPARE(all(view.get(), u"versionRow"_s).size(), std::min(versionCount, 5));
        }
        if (versionCount > 0) {
            QCOMPARE(texts(view.get(), u"versionCurrent"_s).size(), 1);
            QCOMPARE(texts(view.get(), u"versionDownload"_s).first(), u"下载 1.%1.0"_s.arg(versionCount));
            QCOMPARE(texts(view.get(), u"versionDate"_s).first(), u"2026-09-15"_s);
            QVERIFY(texts(view.get(), u"versionNotes"_s).isEmpty());
        }

        QCOMPARE(shown(view.get(), u"noReviews"_s), reviews == 0);
        QCOMPARE(all(view.get(), u"reviewRow"_s).size(), std::min(reviews, 4));
        if (reviews > 0)
            QCOMPARE(texts(view.get(), u"reviewInitial"_s).first(), u"𠀋"_s);
        QObject *side = one(view.get(), u"sideCategory"_s);
        QVERIFY(side);
        QCOMPARE(side->property("v").toString(), category ? u"AI 助手"_s : u"—"_s);
        QCOMPARE(text(view.get(), u"detailCategory"_s), category ? u"· AI 助手"_s : QString());
    }
};

QTEST_MAIN(DetailTest)
#include "tst_detail.moc"
