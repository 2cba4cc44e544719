#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// What a toast shows, fixed when the toast is built and shared by its copies:
// a title, a label (title and icon), labelled content (title over subtitle)
// or widgets of the caller's own. Hosts build fresh widgets from it each time
// the toast is shown, so one toast can be on screen in two places.
class ToastContent {
public:
    enum class Kind {
        empty,
        title,
        label,
        labeledContent,
        custom,
    };
    // What a label shows beside its title.
    enum class Icon {
        none,
        symbol,
        image,
        progressIndicator,
    };
    // Builds the caller's widgets under `parent` (main thread).
    using Factory = std::function<QWidget*(QWidget* parent)>;

    ToastContent() = default;
    static ToastContent title(QString text);
    // `symbol` names a system symbol (platform/SymbolImage).
    static ToastContent label(QString title, QString symbol);
    // A label whose icon is an image among the application's resources.
    static ToastContent imageLabel(QString title, QString imagePath);
    // A label whose icon is an indeterminate progress indicator.
    static ToastContent progressLabel(QString title);
    static ToastContent labeledContent(QString title, QString subtitle);
    static ToastContent custom(Factory factory);

    Kind kind() const { return m_data ? m_data->kind : Kind::empty; }
    Icon icon() const { return m_data ? m_data->icon : Icon::none; }
    QString titleText() const { return m_data ? m_data->title : QString(); }
    QString symbol() const { return m_data ? m_data->symbol : QString(); }
    // A label's resource image; empty when its icon is a symbol.
    QString imagePath() const { return m_data ? m_data->imagePath : QString(); }
    QString subtitle() const { return m_data ? m_data->subtitle : QString(); }
    const Factory& factory() const;

private:
    struct Data {
        Kind kind = Kind::empty;
        Icon icon = Icon::none;
        QString title;
        QString symbol;
        QString subtitle;
        Factory factory;
        QString imagePath;
    };
    explicit ToastContent(Data data)
        : m_data(std::make_shared<const Data>(std::move(data)))
    {
    }
    std::shared_ptr<const Data> m_data;
};
