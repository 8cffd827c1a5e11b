#include "service/CatalogRecords.h"
#include "service/Endpoint.h"
#include "service/JsonReader.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

std::optional<StoreSite> StoreSite::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreSite", error);
    StoreSite s;
    s.name = r.string("name");
    s.tagline = r.string("tagline");
    s.announcement = r.string("announcement");
    return r.ok() ? std::optional(s) : std::nullopt;
}

std::optional<StoreStats> StoreStats::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreStats", error);
    StoreStats s;
    s.apps = r.integer("apps");
    s.downloads = r.integer("downloads");
    s.wallpapers = r.integer("wallpapers");
    s.members = r.integer("members");
    s.sponsors = r.integer("sponsors");
    return r.ok() ? std::optional(s) : std::nullopt;
}

std::optional<StoreMember> StoreMember::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreMember", error);
    StoreMember m;
    m.nickname = r.string("nickname");
    m.email = r.string("email");
    m.role = r.string("role");
    m.sponsorActive = r.boolean("sponsorActive");
    m.daysLeft = r.integer("daysLeft");
    m.forever = r.boolean("forever");
    m.level = r.integer("level");
    m.points = r.integer("points");
    m.expiresAt = r.optString("expiresAt");
    return r.ok() ? std::optional(m) : std::nullopt;
}

std::optional<StoreCategory> StoreCategory::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreCategory", error);
    StoreCategory c;
    c.slug = r.string("slug");
    c.name = r.string("name");
    c.glyph = r.string("glyph");
    c.accent = r.string("accent");
    c.count = r.integer("count");
    return r.ok() ? std::optional(c) : std::nullopt;
}

QString StoreApp::archLabel() const
{
    if (arch == "arm64"_L1)
        return u"Apple Silicon"_s;
    if (arch == "x64"_L1)
        return u"Intel"_s;
    return u"通用"_s;
}

std::optional<StoreApp> StoreApp::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreApp", error);
    StoreApp a;
    a.slug = r.string("slug");
    a.name = r.string("name");
    a.tagline = r.string("tagline");
    a.glyph = r.string("glyph");
    a.accent = r.string("accent");
    a.accent2 = r.string("accent2");
    a.version = r.string("version");
    a.size = r.string("size");
    a.minOs = r.string("minOs");
    a.arch = r.string("arch");
    a.isFree = r.boolean("isFree");
    a.license = r.string("license");
    a.price = r.number("price");
    a.rating = r.number("rating");
    a.ratingCount = r.integer("ratingCount");
    a.downloads = r.integer("downloads");
    a.categoryName = r.optString("categoryName");
    a.categorySlug = r.optString("categorySlug");
    a.staffPick = r.boolean("staffPick");
    a.editorsChoice = r.boolean("editorsChoice");
    a.featured = r.boolean("featured");
    a.tags = r.strings("tags");
    a.features = r.strings("features");
    a.description = r.string("description");
    a.homepage = r.string("homepage");
    a.developer = r.string("developer");
    a.updatedAt = r.string("updatedAt");
    return r.ok() ? std::optional(std::move(a)) : std::nullopt;
}

size_t qHash(const StoreApp &app, size_t seed)
{
    // Equal apps have equal slugs, versions and update times; hashing these few keeps it cheap.
    return qHashMulti(seed, app.slug, app.version, app.updatedAt);
}

std::optional<QUrl> StoreWallpaper::absoluteURL() const
{
    return Endpoint::parse(Endpoint::base() + file);
}

std::optional<QUrl> StoreWallpaper::thumbURL() const
{
    return Endpoint::parse(Endpoint::base() + QString(file).replace(".jpg"_L1, "-thumb.jpg"_L1));
}

std::optional<StoreWallpaper> StoreWallpaper::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreWallpaper", error);
    StoreWallpaper w;
    w.slug = r.string("slug");
    w.title = r.string("title");
    w.collection = r.string("collection");
    w.resolution = r.string("resolution");
    w.file = r.string("file");
    w.c1 = r.string("c1");
    w.c2 = r.string("c2");
    w.c3 = r.string("c3");
    w.featured = r.boolean("featured");
    return r.ok() ? std::optional(w) : std::nullopt;
}

std::optional<StorePlan> StorePlan::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StorePlan", error);
    StorePlan p;
    p.id = r.integer("id");
    p.slug = r.string("slug");
    p.name = r.string("name");
    p.days = r.integer("days");
    p.price = r.number("price");
    p.originalPrice = r.number("originalPrice");
    p.badge = r.string("badge");
    p.description = r.string("description");
    p.features = r.strings("features");
    return r.ok() ? std::optional(p) : std::nullopt;
}

std::optional<StoreReview> StoreReview::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreReview", error);
    StoreReview v;
    v.id = r.integer("id");
    v.nickname = r.string("nickname");
    v.rating = r.integer("rating");
    v.content = r.string("content");
    v.createdAt = r.string("createdAt");
    return r.ok() ? std::optional(v) : std::nullopt;
}

std::optional<AppVersion> AppVersion::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "AppVersion", error);
    AppVersion v;
    v.version = r.string("version");
    v.size = r.string("size");
    v.notes = r.optString("notes");
    v.releasedAt = r.string("releasedAt");
    return r.ok() ? std::optional(v) : std::nullopt;
}

std::optional<StoreDetail> StoreDetail::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreDetail", error);
    StoreDetail d;
    d.app = r.record<StoreApp>("app");
    d.unlocked = r.boolean("unlocked");
    d.needsSponsor = r.boolean("needsSponsor");
    d.reviews = r.list<StoreReview>("reviews");
    d.related = r.list<StoreApp>("related");
    d.versions = r.optList<AppVersion>("versions");
    return r.ok() ? std::optional(std::move(d)) : std::nullopt;
}

std::optional<StoreHome> StoreHome::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "StoreHome", error);
    StoreHome h;
    h.site = r.record<StoreSite>("site");
    h.billingEnabled = r.optBoolean("billingEnabled");
    h.stats = r.record<StoreStats>("stats");
    h.member = r.optRecord<StoreMember>("member");
    h.categories = r.list<StoreCategory>("categories");
    h.featured = r.list<StoreApp>("featured");
    h.top = r.list<StoreApp>("top");
    h.latest = r.list<StoreApp>("latest");
    h.wallpapers = r.list<StoreWallpaper>("wallpapers");
    h.plans = r.list<StorePlan>("plans");
    return r.ok() ? std::optional(std::move(h)) : std::nullopt;
}

std::optional<AppListPage> AppListPage::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "AppListPage", error);
    AppListPage p;
    p.total = r.integer("total");
    p.page = r.integer("page");
    p.pages = r.integer("pages");
    p.apps = r.list<StoreApp>("apps");
    return r.ok() ? std::optional(std::move(p)) : std::nullopt;
}

std::optional<SearchOther> SearchOther::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "SearchOther", error);
    SearchOther o;
    o.type = r.string("type");
    o.slug = r.string("slug");
    o.title = r.string("title");
    o.sub = r.optString("sub");
    return r.ok() ? std::optional(o) : std::nullopt;
}

std::optional<SearchResult> SearchResult::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "SearchResult", error);
    SearchResult s;
    s.apps = r.list<StoreApp>("apps");
    s.other = r.list<SearchOther>("other");
    return r.ok() ? std::optional(std::move(s)) : std::nullopt;
}
