#pragma once

// Answers for the screen tests and benchmarks, made on the fly so that every
// address in them points back at the fixture server.

#include "platform/FocusRing.h"
#include "platform/SemanticColors.h"
#include "support/FixtureServer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QPalette>
#include <QTest>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QHash>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace ScreenFixtures {

struct ChartEntry {
    QString id;
    QString name;
    QString genre;     // empty: no genre
    bool hasStoreLink = true;
};

// A chart of the current feed's shape; icons are served under /icons/<id>.png.
inline QByteArray currentChart(const QList<ChartEntry>& entries, const QUrl& base)
{
    QJsonArray results;
    for (const ChartEntry& entry : entries) {
        QJsonObject result{{"id", entry.id},
                           {"name", entry.name},
                           {"artistName", entry.name + QStringLiteral(" Labs")},
                           {"artworkUrl100", base.toString() + QStringLiteral("/icons/%1.png").arg(entry.id)}};
        if (!entry.genre.isEmpty())
            result.insert("genres", QJsonArray{QJsonObject{{"genreId", "6007"}, {"name", entry.genre}}});
        if (entry.hasStoreLink)
            result.insert("url", QStringLiteral("https://apps.example.com/app/id%1").arg(entry.id));
        results.append(result);
    }
    return QJsonDocument(QJsonObject{{"feed", QJsonObject{{"results", results}}}}).toJson(QJsonDocument::Compact);
}

inline QList<ChartEntry> numberedEntries(int count, int firstID = 1000)
{
    QList<ChartEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.append({QString::number(firstID + i), QStringLiteral("App %1").arg(i + 1),
                        i % 3 == 0 ? QString() : QStringLiteral("Productivity"), i % 4 != 0});
    return entries;
}

inline QByteArray pngBytes(const QColor& color, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline QByteArray pngBytes(const QColor& color, int side = 64)
{
    return pngBytes(color, QSize(side, side));
}

inline FixtureResponse pngResponse(const QColor& color, int side = 64)
{
    FixtureResponse response = FixtureResponse::withStatus(200);
    response.body = pngBytes(color, side);
    response.contentType = "image/png";
    return response;
}

// An app icon of one of a few colours, chosen by `name`, with a light disc
// in its middle so that a picture shows how the icon is scaled and clipped.
inline QByteArray iconBytes(const QString& name, int side = 64)
{
    static const QList<QColor> colours{QColor(0, 122, 170), QColor(230, 120, 40), QColor(60, 160, 90),
                                       QColor(150, 80, 190), QColor(200, 60, 80), QColor(40, 60, 120)};
    int sum = 0;
    for (qsizetype i = 0; i < name.size(); ++i)
        sum += name.at(i).unicode() * int(i + 1);
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colours.at(sum % colours.size()));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QRectF(side * 0.25, side * 0.25, side * 0.5, side * 0.5));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Serves /icons/<name>.png as iconBytes(<name>), and a 404 for the names in `missing`.
inline std::function<std::optional<FixtureResponse>(const FixtureRequest&)> iconHandler(QStringList missing = {},
                                                                                     int side = 64)
{
    return [missing, side](const FixtureRequest& request) -> std::optional<FixtureResponse> {
        if (!request.path.startsWith(QLatin1String("/icons/")) || !request.path.endsWith(QLatin1String(".png")))
            return std::nullopt;
        const QString name = request.path.mid(7).chopped(4);
        if (missing.contains(name))
            return FixtureResponse::withStatus(404);
        FixtureResponse icon = FixtureResponse::withStatus(200);
        icon.body = iconBytes(name, side);
        icon.contentType = "image/png";
        return icon;
    };
}

// Estimates of the current shape for one app, figures as given.
inline QByteArray estimates(qint64 appID, const QString& downloads, const QString& revenue)
{
    const QJsonObject app{
        {"app_id", appID},
        {"humanized_worldwide_last_month_downloads", QJsonObject{{"downloads", 1000}, {"string", downloads}}},
        {"humanized_worldwide_last_month_revenue", QJsonObject{{"revenue", 2000}, {"string", revenue}}}};
    return QJsonDocument(QJsonArray{app}).toJson(QJsonDocument::Compact);
}

// Renders go to PLOVERA_RENDER_DIR (the build's renders folder under ctest), for a look.
inline bool saveRender(const QImage& image, const QString& name)
{
    const QString dir = qEnvironmentVariable("PLOVERA_RENDER_DIR", QDir::tempPath());
    return QDir().mkpath(dir) && image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

inline bool saveRender(QWidget* widget, const QString& name)
{
    return saveRender(widget->grab().toImage(), name);
}

// Gives the whole application the desktop palette of a scheme, as a desktop
// switching between light and dark would, and forces the scheme itself.
inline void applyScheme(ColorScheme scheme)
{
    setColorSchemeOverride(scheme);
    const bool dark = scheme == ColorScheme::Dark;
    QPalette palette;
    palette.setColor(QPalette::Window, SemanticColors::windowBackground(scheme));
    palette.setColor(QPalette::WindowText, dark ? QColor(235, 235, 235) : QColor(20, 20, 20));
    palette.setColor(QPalette::Base, SemanticColors::controlBackground(scheme));
    palette.setColor(QPalette::AlternateBase, dark ? QColor(40, 40, 40) : QColor(245, 245, 245));
    palette.setColor(QPalette::Text, dark ? QColor(235, 235, 235) : QColor(20, 20, 20));
    palette.setColor(QPalette::Button, dark ? QColor(70, 70, 72) : QColor(250, 250, 250));
    palette.setColor(QPalette::ButtonText, dark ? QColor(235, 235, 235) : QColor(20, 20, 20));
    palette.setColor(QPalette::PlaceholderText, SemanticColors::tertiary(scheme));
    palette.setColor(QPalette::Highlight, SemanticColors::accent(scheme));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    QApplication::setPalette(palette);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

inline void resetScheme()
{
    setColorSchemeOverride(std::nullopt);
    QApplication::setPalette(QPalette());
}

// Renders `widget` in dark, then light, as <name>-dark.png and <name>-light.png; `check`
// looks at each picture.
inline void renderBothSchemes(QWidget* widget, const QString& name,
                              const std::function<void(ColorScheme, const QImage&)>& check = {})
{
    for (const ColorScheme scheme : {ColorScheme::Dark, ColorScheme::Light}) {
        applyScheme(scheme);
        widget->setAutoFillBackground(true);
        const QImage image = widget->grab().toImage();
        QVERIFY(saveRender(image, name + (scheme == ColorScheme::Dark ? QStringLiteral("-dark") : QStringLiteral("-light"))));
        if (check)
            check(scheme, image);
    }
}

namespace detail {
// Passes each row to `wrapped` and keeps the option it was drawn with.
class RecordingDelegate : public QAbstractItemDelegate {
public:
    explicit RecordingDelegate(QAbstractItemDelegate* wrapped) : m_wrapped(wrapped) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        drawn.insert(index.row(), option);
        m_wrapped->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return m_wrapped->sizeHint(option, index);
    }
    mutable QHash<int, QStyleOptionViewItem> drawn;

private:
    QAbstractItemDelegate* m_wrapped;
};
} // namespace detail

// Opens the popup of `box` and names the items it draws cut: each row is
// drawn again as the popup drew it, then with room to spare, and a row whose
// visible part differs lost some of its text.
inline QStringList itemsCutInPopup(QComboBox* box)
{
    box->showPopup();
    QAbstractItemView* list = box->view();
    QAbstractItemDelegate* own = list->itemDelegate();
    detail::RecordingDelegate recorder(own);
    list->setItemDelegate(&recorder);
    for (int row = 0; row < box->count(); ++row) {
        if (recorder.drawn.contains(row))
            continue;
        list->scrollTo(box->model()->index(row, box->modelColumn(), box->rootModelIndex()), QAbstractItemView::PositionAtTop);
        list->viewport()->grab();
    }
    list->setItemDelegate(own);
    const int visibleWidth = list->viewport()->width();
    QStringList cut;
    for (int row = 0; row < box->count(); ++row) {
        const QModelIndex index = box->model()->index(row, box->modelColumn(), box->rootModelIndex());
        QStyleOptionViewItem option = recorder.drawn.value(row);
        option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
        const QRect drawn = option.rect;
        const int shown = std::min(drawn.width(), visibleWidth - drawn.x());
        const auto draw = [&](int width) {
            QImage image(shown, drawn.height(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem at = option;
            at.rect = QRect(0, 0, width, drawn.height());
            own->paint(&painter, at, index);
            return image;
        };
        if (shown <= 0 || draw(drawn.width()) != draw(drawn.width() + 400))
            cut.append(box->itemText(row));
    }
    box->hidePopup();
    return cut;
}

// Walks the Tab chain of `window` once round from where its focus is and
// names the stops (object name, else class) whose focus does not show: the
// control and a few pixels around it look the same focused and unfocused.
inline QStringList stopsWithoutVisibleFocus(QWidget* window, int limit = 60)
{
    QStringList unseen;
    QWidget* first = nullptr;
    for (int i = 0; i < limit; ++i) {
        QWidget* from = QApplication::focusWidget();
        QTest::keyClick(from ? from : window, Qt::Key_Tab);
        QWidget* stop = QApplication::focusWidget();
        if (!stop || stop == first || stop->window() != window)
            break;
        first = first ? first : stop;
        const QRect around = QRect(stop->mapTo(window, QPoint(0, 0)), stop->size()).adjusted(-4, -4, 4, 4);
        const QImage focused = window->grab(around).toImage();
        stop->clearFocus();
        QCoreApplication::processEvents();
        const QImage unfocused = window->grab(around).toImage();
        stop->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        if (focused == unfocused)
            unseen.append(stop->objectName().isEmpty() ? QString::fromLatin1(stop->metaObject()->className())
                                                         : stop->objectName());
    }
    return unseen;
}

// Whether keyboard focus on `control` shows as the ring alone: the control
// draws itself the same focused and not, and a ring overlay lies around it.
inline bool showsRingAlone(QWidget* control)
{
    // As the Tab key gives it: styles draw their own focus marks only then.
    control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    control->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const QImage focused = control->grab().toImage();
    const QRect area(control->mapTo(control->window(), QPoint(0, 0)), control->size());
    bool ringed = false;
    for (QWidget* ring : control->window()->findChildren<QWidget*>(QStringLiteral("focusRing"))) {
        const QRect drawn(ring->mapTo(control->window(), QPoint(0, 0)), ring->size());
        ringed = ringed || (ring->isVisible() && drawn.contains(area) && drawn != area);
    }
    control->clearFocus();
    QCoreApplication::processEvents();
    return ringed && control->grab().toImage() == focused;
}

// How two renders of one area, with keyboard focus and without, differ: the
// pixels that show the focus ring's pen laid over what was there, and the
// pixels changed inside `content`, which a ring clear of it leaves alone.
struct FocusMark {
    int ringPixels = 0;
    int contentPixels = 0;
};

inline FocusMark focusMark(const QImage& focused, const QImage& unfocused, const QColor& accent, const QRect& content)
{
    FocusMark mark;
    const QColor pen = focusRingPen(accent).color();
    const qreal alpha = pen.alphaF();
    const auto near = [](int a, qreal b) { return std::abs(a - b) <= 12; };
    for (int y = 0; y < std::min(focused.height(), unfocused.height()); ++y) {
        for (int x = 0; x < std::min(focused.width(), unfocused.width()); ++x) {
            const QRgb now = focused.pixel(x, y);
            const QRgb was = unfocused.pixel(x, y);
            if (now == was)
                continue;
            if (content.contains(x, y))
                ++mark.contentPixels;
            mark.ringPixels += near(qRed(now), pen.red() * alpha + qRed(was) * (1 - alpha))
                && near(qGreen(now), pen.green() * alpha + qGreen(was) * (1 - alpha))
                && near(qBlue(now), pen.blue() * alpha + qBlue(was) * (1 - alpha));
        }
    }
    return mark;
}

} // namespace ScreenFixtures
