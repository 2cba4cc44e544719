#include "toasts/engine/PresentationContext.h"
#include "toasts/engine/ToastsConfiguration.h"

#include "platform/ViewController.h"
#include "platform/WindowHierarchy.h"
#include "platform/WindowLevel.h"

#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <limits>

using Attribute = PresentationContext::Attribute;
using Attributes = PresentationContext::Attributes;

namespace {
// Only its class name makes it a popover.
class TestPopoverPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

QWidget* makeWindow(QWidget* parent, const QString& name, Qt::WindowFlags flags = Qt::Window)
{
    auto* window = new QWidget(parent, flags);
    window->setObjectName(name);
    return window;
}

QCoro::Task<> selectInto(PresentationContext::Pointer context, PresentationContext::Pointer* chosen)
{
    *chosen = co_await defaultToastPresentationContextSelector()(PlatformIdiom::current(), std::move(context));
}

QString chosenWindowName(QWidget* asked)
{
    PresentationContext::Pointer chosen;
    selectInto(PresentationContext::forWindow(asked), &chosen);
    return chosen && chosen->window() ? chosen->window()->objectName() : QStringLiteral("none");
}

QStringList windowNames(const std::vector<PresentationContext::Pointer>& contexts)
{
    QStringList names;
    for (const auto& context : contexts) {
        if (context->window())
            names << context->window()->objectName();
    }
    return names;
}
} // namespace

class ToastPresentationContextTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { m_root.reset(); }

    void defaultSelectorClimbsToTheFarthestNonDiscardableParent_data()
    {
        QTest::addColumn<int>("parentLevel");
        QTest::addColumn<int>("grandparentLevel"); // -1: no grandparent
        QTest::addColumn<QString>("chosen");
        QTest::newRow("child of a normal window") << 0 << -1 << "parent";
        QTest::newRow("child of a dock-level window") << 20 << -1 << "child";
        QTest::newRow("child of a status-level window") << 25 << -1 << "child";
        QTest::newRow("child of a screen-saver-level window") << 1000 << -1 << "child";
        QTest::newRow("chain of three") << 0 << 0 << "grandparent";
        QTest::newRow("chain through a floating panel") << 3 << 0 << "grandparent";
        QTest::newRow("chain stopped by a discardable grandparent") << 0 << 25 << "parent";
    }
    void defaultSelectorClimbsToTheFarthestNonDiscardableParent()
    {
        QFETCH(int, parentLevel);
        QFETCH(int, grandparentLevel);
        QFETCH(QString, chosen);
        QWidget* parentOfParent = nullptr;
        if (grandparentLevel >= 0) {
            m_root.reset(makeWindow(nullptr, "grandparent"));
            WindowLevel::setOverride(m_root.get(), grandparentLevel);
            parentOfParent = m_root.get();
        }
        QWidget* parent = makeWindow(parentOfParent, "parent", parentOfParent ? Qt::Tool : Qt::Window);
        if (!parentOfParent)
            m_root.reset(parent);
        WindowLevel::setOverride(parent, parentLevel);
        QWidget* child = makeWindow(parent, "child", Qt::Tool);
        QCOMPARE(chosenWindowName(child), chosen);
    }

    void topLevelWindowAndSheetResolve()
    {
        m_root.reset(makeWindow(nullptr, "main"));
        QCOMPARE(chosenWindowName(m_root.get()), QStringLiteral("main"));

        auto* sheet = new QDialog(m_root.get());
        sheet->setObjectName("sheet");
        sheet->setWindowModality(Qt::WindowModal);
        sheet->show();
        QCOMPARE(PresentationContext::forWindow(sheet)->attributes(),
            (Attributes{Attribute::window, Attribute::container, Attribute::modal, Attribute::sheet}));
        QCOMPARE(chosenWindowName(sheet), QStringLiteral("main"));
        // A sheet is one of its window's children, listed once.
        QCOMPARE(windowNames(PresentationContext::forWindow(m_root.get())->children()), QStringList{"sheet"});
    }

    void windowAttributes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("normal window") << "normal" << QStringList{};
        QTest::newRow("modal panel level") << "level 8" << QStringList{"modal"};
        QTest::newRow("floating level") << "level 3" << QStringList{"menu"};
        QTest::newRow("status level") << "level 25" << QStringList{"discardable"};
        QTest::newRow("popup window") << "popup" << QStringList{"menu", "popover"};
        QTest::newRow("menu") << "menu" << QStringList{"menu"};
        QTest::newRow("message box sheet") << "message box" << QStringList{"alert", "modal", "sheet"};
        QTest::newRow("popover by class name") << "popover class" << QStringList{"popover"};
    }
    void windowAttributes()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, added);
        m_root.reset(new QWidget);
        QWidget* window = nullptr;
        if (kind.startsWith("level") || kind == "normal") {
            window = new QWidget(m_root.get(), Qt::Window);
            if (kind != "normal")
                WindowLevel::setOverride(window, kind.mid(6).toInt());
        } else if (kind == "popup") {
            window = new QWidget(m_root.get(), Qt::Popup);
        } else if (kind == "menu") {
            window = new QMenu(m_root.get());
        } else if (kind == "message box") {
            window = new QMessageBox(QMessageBox::Information, "Title", "Text", QMessageBox::Ok, m_root.get());
            window->setWindowModality(Qt::WindowModal);
        } else {
            window = new TestPopoverPanel(m_root.get());
            window->setWindowFlags(Qt::Window);
        }
        Attributes expected{Attribute::window, Attribute::container};
        for (const QString& name : std::as_const(added))
            expected.insert(*PresentationContext::attribute(name));
        QCOMPARE(PresentationContext::windowAttributes(window), expected);
    }

    void derivedWindowLevels_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("modality");
        QTest::addColumn<int>("level");
        QTest::newRow("tool") << int(Qt::Tool) << int(Qt::NonModal) << 3;
        QTest::newRow("stays on top") << int(Qt::Window | Qt::WindowStaysOnTopHint) << int(Qt::NonModal) << 3;
        QTest::newRow("application modal") << int(Qt::Dialog) << int(Qt::ApplicationModal) << 8;
        QTest::newRow("window modal") << int(Qt::Dialog) << int(Qt::WindowModal) << 0;
        QTest::newRow("popup") << int(Qt::Popup) << int(Qt::NonModal) << 101;
        QTest::newRow("tooltip") << int(Qt::ToolTip) << int(Qt::NonModal) << 25;
    }
    void derivedWindowLevels()
    {
        QFETCH(int, flags);
        QFETCH(int, modality);
        QFETCH(int, level);
        QWidget window(nullptr, Qt::WindowFlags(flags));
        window.setWindowModality(Qt::WindowModality(modality));
        QCOMPARE(WindowLevel::of(&window), level);
    }

    void siblingsAndChildrenNeverRecurse()
    {
        m_root.reset(makeWindow(nullptr, "parent"));
        makeWindow(m_root.get(), "first", Qt::Tool);
        QWidget* second = makeWindow(m_root.get(), "second", Qt::Tool);
        makeWindow(second, "grandchild", Qt::Tool);

        const auto context = PresentationContext::forWindow(second);
        QCOMPARE(windowNames(context->siblings()), QStringList{"first"});
        QVERIFY(context->siblings().front()->siblings().empty());
        QCOMPARE(windowNames(context->children()), QStringList{"grandchild"});

        const auto parent = context->parent();
        QVERIFY(parent);
        QStringList children = windowNames(parent->children());
        children.sort(); // windows never shown have no creation order
        QCOMPARE(children, (QStringList{"first", "second"}));
        // The content of a plain window comes last, as a view.
        QCOMPARE(parent->children().back()->ownerKind(), PresentationContext::OwnerKind::view);
    }

    void viewControllersLinkUpToTheirWindow()
    {
        m_root.reset(makeWindow(nullptr, "main"));
        ViewController content;
        content.setView(m_root.get());
        ViewController presented;
        presented.setOwnedView(new QWidget);
        content.present(&presented);

        const auto window = PresentationContext::forWindow(m_root.get());
        const auto contentContext = window->children().back();
        QCOMPARE(contentContext->viewController(), &content);
        QCOMPARE(contentContext->attributes(), Attributes{Attribute::container});
        QCOMPARE(contentContext->children().size(), size_t(2)); // its view, then the presented controller
        const auto presentedContext = contentContext->children().back();
        QCOMPARE(presentedContext->attributes(), (Attributes{Attribute::container, Attribute::modal}));
        QCOMPARE(presentedContext->parent()->viewController(), &content);
        QCOMPARE(contentContext->parent()->window(), m_root.get());
        QCOMPARE(PresentationContext::forView(m_root.get())->attributes(), Attributes{Attribute::view});
    }

    void ownerThatWentHasNoParent()
    {
        m_root.reset(makeWindow(nullptr, "parent"));
        QWidget* child = makeWindow(m_root.get(), "child", Qt::Tool);
        const auto context = PresentationContext::forWindow(child);
        m_root.reset();
        QVERIFY(!context->owner());
        QVERIFY(!context->parent());
        QCOMPARE(ToastPresentationContextSelector::resolve(context), context);
    }

    void timeScalesAreClamped()
    {
        QCOMPARE(ToastsConfiguration::TimeScale(5).rawValue(), 2.0);
        QCOMPARE(ToastsConfiguration::TimeScale(-1).rawValue(), 0.0);
        QCOMPARE(ToastsConfiguration::TimeScale(1.5).rawValue(), 1.5);
        QCOMPARE(ToastsConfiguration::TimeScale(std::numeric_limits<double>::quiet_NaN()).rawValue(), 1.0);
    }

private:
    std::unique_ptr<QWidget> m_root;
};

QTEST_MAIN(ToastPresentationContextTest)
#include "ToastPresentationContextTest.moc"
