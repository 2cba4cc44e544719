// The reference for the start-up benchmark: a bare Qt window of the
// application's default size that quits right after its first paint.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {
class QuitAfterFirstPaint : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_painted = false;
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QuitAfterFirstPaint window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(1280, 860);
    window.show();
    return QApplication::exec();
}
