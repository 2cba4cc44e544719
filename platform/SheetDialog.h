#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// A window-modal sheet over its owner: a title bar with Cancel and Done, and
// a content widget below. Escape and the window's close control act as
// Cancel; Done is the default button.
class SheetDialog : public QDialog {
    Q_OBJECT
public:
    SheetDialog(const QString& title, QWidget* owner);

    // Takes ownership of `content` and lays it out under the title bar.
    void setContent(QWidget* content);
    // The sheet may not shrink below `minimum` and opens at `ideal`.
    void setSizes(QSize minimum, QSize ideal);

    void setDoneEnabled(bool enabled);
    bool isDoneEnabled() const;

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* doneButton() const { return m_done; }
    QString title() const;

signals:
    void cancelled();
    void confirmed();

public slots:
    void reject() override;
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColors();

    QLabel* m_title;
    QPushButton* m_cancel;
    QPushButton* m_done;
    QWidget* m_content = nullptr;
};
