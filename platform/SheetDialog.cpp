#include "platform/SheetDialog.h"

#include "platform/FocusRing.h"
#include "platform/RingFocusedButton.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"
#include "platform/WindowChrome.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QVBoxLayout>

namespace {
// The title bar's buttons show focus as the ring alone, as every control does.
using SheetButton = RingFocusedButton<QPushButton, QStyleOptionButton>;
} // namespace

SheetDialog::SheetDialog(const QString& title, QWidget* owner)
    : QDialog(owner, Qt::Sheet)
    , m_title(new QLabel(title, this))
    , m_cancel(new SheetButton(tr("Cancel"), this))
    , m_done(new SheetButton(tr("Done"), this))
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(14, 10, 14, 10);
    bar->setSpacing(8);
    m_title->setObjectName(QStringLiteral("sheetTitle"));
    m_title->setFont(platformFont(TextStyle::Headline));
    m_cancel->setObjectName(QStringLiteral("sheetCancel"));
    m_done->setObjectName(QStringLiteral("sheetDone"));
    m_cancel->setAutoDefault(false);
    m_done->setDefault(true);
    showFocusRing(m_cancel, 6);
    showFocusRing(m_done, 6);
    bar->addWidget(m_cancel);
    bar->addStretch(1);
    bar->addWidget(m_title);
    bar->addStretch(1);
    bar->addWidget(m_done);
    root->addLayout(bar);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    root->addWidget(line);
    WindowChrome::setTopChromeEdge(this, line);

    connect(m_cancel, &QPushButton::clicked, this, &SheetDialog::reject);
    connect(m_done, &QPushButton::clicked, this, &SheetDialog::accept);
    applyColors();
}

void SheetDialog::setContent(QWidget* content)
{
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    content->setParent(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(content, 1);
}

void SheetDialog::setSizes(QSize minimum, QSize ideal)
{
    setMinimumSize(minimum);
    resize(ideal.expandedTo(minimum));
}

void SheetDialog::setDoneEnabled(bool enabled)
{
    m_done->setEnabled(enabled);
}

bool SheetDialog::isDoneEnabled() const
{
    return m_done->isEnabled();
}

QString SheetDialog::title() const
{
    return m_title->text();
}

void SheetDialog::reject()
{
    // Escape and the close control land here too.
    QDialog::reject();
    emit cancelled();
}

void SheetDialog::accept()
{
    // Default-button presses (Return) must respect a disabled Done.
    if (!m_done->isEnabled())
        return;
    emit confirmed();
    QDialog::accept();
}

void SheetDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyColors();
    QDialog::changeEvent(event);
}

void SheetDialog::applyColors()
{
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::WindowText, SemanticColors::primary(colorScheme(this)));
    m_title->setPalette(palette);
}
