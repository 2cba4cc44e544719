#pragma once

#include "platform/SheetDialog.h"

#include <QSet>
#include <QStringList>

class CountryFilterModel;
class CountryListModel;
class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

// "Select Countries": a searchable list of every storefront with a mark per
// row. It edits a copy of the selection; only Done hands it on.
class CountryPickerSheet : public SheetDialog {
    Q_OBJECT
public:
    CountryPickerSheet(const QStringList& selected, QWidget* owner);

    QSet<QString> draftCountryCodes() const;
    QString searchText() const;
    void setSearchText(const QString& text);
    // The codes listed now, in order.
    QStringList listedCodes() const;
    void toggleCountry(const QString& code);

    QLineEdit* searchField() const { return m_search; }
    QToolButton* clearButton() const { return m_clear; }
    QListView* listView() const { return m_list; }

signals:
    void selectionConfirmed(const QStringList& codes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildContent();
    void applyColors();

    CountryListModel* m_model;
    CountryFilterModel* m_filter;
    QLineEdit* m_search = nullptr;
    QToolButton* m_clear = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_magnifier = nullptr;
};
