#include "device/ShareCard.h"

#include "device/DeviceRules.h"
#include "device/DeviceSummary.h"
#include "device/DeviceTraps.h"
#include "screens/components/Theme.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace ShareCard {

namespace {

const DeviceMetric *metricOf(const QList<DeviceSection> &sections, QStringView id, const QString &key)
{
    for (const DeviceSection &section : sections) {
        if (section.id == id)
            return section.metric(key);
    }
    return nullptr;
}

const CrossCheck *checkOf(const QList<CrossCheck> &checks, const QString &label)
{
    for (const CrossCheck &check : checks) {
        if (check.label == label)
            return &check;
    }
    return nullptr;
}

QColor valueColor(DeviceStatus status)
{
    switch (status) {
    case DeviceStatus::warn:
        return Theme::caution();
    case DeviceStatus::bad:
        return Theme::danger();
    case DeviceStatus::ok:
    case DeviceStatus::info:
        break;
    }
    return Theme::text();
}

DeviceStatus statusOf(const Facts &facts, const QString &label)
{
    for (const auto &[name, status] : facts.statuses) {
        if (name == label)
            return status;
    }
    return DeviceStatus::info;
}

Piece fill(QString name, QRectF box, QColor color, qreal radius, QColor end = {})
{
    Piece piece;
    piece.kind = Piece::Fill;
    piece.name = std::move(name);
    piece.box = box;
    piece.color = color;
    piece.colorEnd = end;
    piece.radius = radius;
    return piece;
}

Piece text(QString name, QRectF box, QString content, QColor color, int pixelSize, bool bold,
           int align = Qt::AlignLeft | Qt::AlignVCenter)
{
    Piece piece;
    piece.name = std::move(name);
    piece.box = box;
    piece.text = std::move(content);
    piece.color = color;
    piece.pixelSize = pixelSize;
    piece.bold = bold;
    piece.align = align;
    return piece;
}

} // namespace

Facts factsFrom(const DeviceIdentity &identity, const QList<DeviceSection> &sections, const QList<CrossCheck> &checks,
                int score, const QDateTime &checkedAt)
{
    Facts facts;
    facts.score = score;
    facts.verdict = DeviceRules::verdictFor(score);
    facts.scoreLevel = DeviceSummary::scoreLevel(score);
    facts.modelName = identity.modelName;
    facts.chip = identity.chip;
    facts.memory = identity.memory;
    facts.maskedSerial = DeviceTraps::maskedSerial(identity.serial);
    facts.checkedAt = checkedAt.isValid() ? checkedAt.toString(u"yyyy-MM-dd HH:mm"_s) : kMissing;

    auto valueOf = [&](QStringView id, const QString &key, const QString &label) {
        const DeviceMetric *m = metricOf(sections, id, key);
        if (!m)
            return kMissing;
        facts.statuses.append({label, m->status});
        return m->value;
    };
    facts.storage = valueOf(u"storage", u"size"_s, u"存储容量"_s);
    const bool desktop = DeviceRules::isDesktop(identity.modelName);
    facts.batteryHealth = valueOf(u"battery", u"health"_s, u"电池健康"_s);
    facts.cycles = valueOf(u"battery", u"cycle"_s, u"循环次数"_s);
    facts.condition = valueOf(u"battery", u"condition"_s, u"电池状态"_s);
    if (desktop && facts.batteryHealth == kMissing) {
        facts.batteryHealth = u"无电池"_s;
        facts.condition = u"无电池"_s;
    }
    facts.firmware = valueOf(u"management", u"firmwarepw"_s, u"固件密码"_s);
    facts.activationLock = identity.activationLock == u"Enabled" ? u"已开启"_s : u"未开启"_s;
    facts.statuses.append({u"激活锁"_s, identity.activationLock == u"Enabled" ? DeviceStatus::warn : DeviceStatus::ok});
    const CrossCheck *management = checkOf(checks, u"设备管理登记"_s);
    facts.management = management ? management->result : kMissing;
    if (management)
        facts.statuses.append({u"远程管理"_s, management->status});
    return facts;
}

QStringList Layout::texts() const
{
    QStringList list;
    for (const Piece &piece : pieces) {
        if (piece.kind == Piece::Text)
            list << piece.text;
    }
    return list;
}

Layout layout(const Facts &facts)
{
    constexpr qreal margin = 48;
    constexpr qreal gap = 24;
    constexpr qreal cellHeight = 150;
    const qreal inner = kWidth - 2 * margin;
    const QColor white(Qt::white);
    QColor soft = white;
    soft.setAlphaF(0.85f);

    Layout out;
    const QList<std::pair<QString, QString>> rows{
        {u"芯片"_s, facts.chip},
        {u"内存"_s, facts.memory},
        {u"存储容量"_s, facts.storage},
        {u"电池健康"_s, facts.batteryHealth},
        {u"循环次数"_s, facts.cycles},
        {u"电池状态"_s, facts.condition},
        {u"激活锁"_s, facts.activationLock},
        {u"远程管理"_s, facts.management},
        {u"固件密码"_s, facts.firmware},
        {u"序列号"_s, facts.maskedSerial},
    };
    const qreal gridTop = 600;
    const qreal gridRows = (rows.size() + 1) / 2;
    const qreal footerTop = gridTop + gridRows * (cellHeight + gap);
    out.size = QSize(kWidth, int(footerTop + 110));

    out.pieces << fill(u"background"_s, QRectF(QPointF(0, 0), out.size), Theme::background(), 0);
    out.pieces << fill(u"header"_s, QRectF(0, 0, kWidth, 360), Theme::accent(), 0, QColor(Theme::plainAccent2()));
    out.pieces << text(u"brand"_s, QRectF(64, 48, kWidth - 128, 56), u"Vexlo 验机报告"_s, white, 40, true);
    out.pieces << text(u"model"_s, QRectF(64, 118, kWidth - 128, 72), facts.modelName, white, 58, true);
    out.pieces << text(u"date"_s, QRectF(64, 200, kWidth - 128, 48), u"检测于 "_s + facts.checkedAt, soft, 32, false);

    out.pieces << fill(u"scoreCard"_s, QRectF(margin, 290, inner, 270), Theme::card(), 32);
    out.pieces << text(u"score"_s, QRectF(margin + 24, 300, 300, 190), QString::number(facts.score),
                       facts.scoreLevel == DeviceStatus::ok ? Theme::good() : valueColor(facts.scoreLevel), 160, true,
                       Qt::AlignCenter);
    out.pieces << text(u"scoreUnit"_s, QRectF(margin + 24, 490, 300, 44), u"体检得分 / 100"_s, Theme::subdued(), 30,
                       false, Qt::AlignCenter);
    out.pieces << text(u"verdict"_s, QRectF(margin + 360, 310, inner - 400, 230), facts.verdict, Theme::text(), 50,
                       true, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);

    const qreal cellWidth = (inner - gap) / 2;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto &[label, value] = rows[i];
        const qreal x = margin + (i % 2) * (cellWidth + gap);
        const qreal y = gridTop + (i / 2) * (cellHeight + gap);
        out.pieces << fill(u"cell:"_s + label, QRectF(x, y, cellWidth, cellHeight), Theme::card(), 24);
        out.pieces << text(u"label:"_s + label, QRectF(x + 32, y + 20, cellWidth - 64, 44), label, Theme::subdued(), 32,
                           false);
        out.pieces << text(u"row:"_s + label, QRectF(x + 32, y + 66, cellWidth - 64, 64), value,
                           valueColor(statusOf(facts, label)), 46, true);
    }
    out.pieces << text(u"footer"_s, QRectF(margin, footerTop, inner, 60),
                       u"Vexlo工具箱 · 数据读取自本机系统，仅供参考"_s, Theme::subdued(), 30, false, Qt::AlignCenter);
    return out;
}

QImage render(const Layout &layout)
{
    QImage image(layout.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Piece &piece : layout.pieces) {
        if (piece.kind == Piece::Fill) {
            QPainterPath path;
            path.addRoundedRect(piece.box, piece.radius, piece.radius);
            if (piece.colorEnd.isValid()) {
                QLinearGradient gradient(piece.box.topLeft(), piece.box.bottomRight());
                gradient.setColorAt(0, piece.color);
                gradient.setColorAt(1, piece.colorEnd);
                painter.fillPath(path, gradient);
            } else {
                painter.fillPath(path, piece.color);
            }
            continue;
        }
        QFont font(Theme::fontFamily());
        font.setPixelSize(piece.pixelSize);
        font.setBold(piece.bold);
        painter.setFont(font);
        painter.setPen(piece.color);
        QString shown = piece.text;
        if (!(piece.align & Qt::TextWordWrap)) {
            // A long value (an Intel chip name) is drawn smaller, down to two thirds, before it is cut.
            const int width = int(piece.box.width());
            while (QFontMetrics(font).horizontalAdvance(shown) > width && font.pixelSize() > piece.pixelSize * 2 / 3)
                font.setPixelSize(font.pixelSize() - 2);
            painter.setFont(font);
            shown = QFontMetrics(font).elidedText(shown, Qt::ElideRight, width);
        }
        painter.drawText(piece.box, piece.align, shown);
    }
    return image;
}

} // namespace ShareCard
