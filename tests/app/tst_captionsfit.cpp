#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_Aniversariantes.h"
#include "U_CadLembretes.h"
#include "U_Opcoes.h"
#include "support/AgendaFixture.h"
#include "support/ApplicationTestMain.h"
#include "support/BoxAnswerer.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QToolButton>

#include <memory>

// Every caption of every window shows whole at its designed place, in each language: no text
// is wider than its control, and no label runs into the control beside it.
class TestCaptionsFit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void captionsFit_data();
    void captionsFit();

private:
    std::unique_ptr<AgendaFixture> agenda_;
};

namespace {

// The room a label has: up to the next control on its row, else to its parent's edge.
int roomOf(const QWidget* label)
{
    const QWidget* parent = label->parentWidget();
    int right = parent->width();
    const QRect row = label->geometry();
    for (const QObject* object : parent->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(object);
        if (!sibling || sibling == label || !sibling->isVisibleTo(parent))
            continue;
        const QRect other = sibling->geometry();
        if (other.left() > row.left() && other.top() < row.bottom() && other.bottom() > row.top())
            right = std::min(right, other.left());
    }
    return right - row.left();
}

// What does not fit in window, one line each.
QStringList crowded(QWidget* window)
{
    QStringList found;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        if (needed > roomOf(label))
            found << QStringLiteral("%1 \"%2\" needs %3, has %4")
                         .arg(label->objectName(), label->text())
                         .arg(needed)
                         .arg(roomOf(label));
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        auto* tool = qobject_cast<QToolButton*>(button);
        const bool showsText = !tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly;
        if (!button->isVisibleTo(window) || button->text().isEmpty() || !showsText)
            continue;
        // The text, the icon beside it when there is one, and the frame's margins.
        const bool iconBeside = tool && tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon &&
                                !button->icon().isNull();
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) +
                           (iconBeside ? button->iconSize().width() + 4 : 0) + 6;
        const int room =
            qobject_cast<QToolButton*>(button) ? button->width() : button->sizeHint().width();
        if (needed > room && tool)
            found << QStringLiteral("%1 \"%2\" needs %3, has %4")
                         .arg(button->objectName(), button->text())
                         .arg(needed)
                         .arg(room);
    }
    return found;
}

} // namespace

void TestCaptionsFit::init()
{
    agenda_ = std::make_unique<AgendaFixture>();
    QVERIFY2(agenda_->isValid(), qPrintable(agenda_->error()));
    QVERIFY(QFile::copy(QStringLiteral(TARVO_APP_DIR "/tarvo-agenda.lcf"), LanguageFileName()));
}

void TestCaptionsFit::cleanup()
{
    Application::destroyAdoptedWindows();
    UnloadLanguage();
    agenda_.reset();
}

void TestCaptionsFit::captionsFit_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("Spanish") << 0;
    QTest::newRow("English") << 1;
    QTest::newRow("Portuguese") << 2;
}

void TestCaptionsFit::captionsFit()
{
    QFETCH(int, language);
    agenda_->setConfiguration(QStringLiteral("CFG_IDIOMA"), language);
    BoxAnswerer answerer;
    std::unique_ptr<TFrmAgenda> main(CreateForm<TFrmAgenda>());
    main->show();
    const QStringList mainCrowded = crowded(main.get());
    QVERIFY2(mainCrowded.isEmpty(), qPrintable(mainCrowded.join(QStringLiteral("; "))));
    std::unique_ptr<TFrmAniversariantes> birthdays(CreateForm<TFrmAniversariantes>());
    birthdays->show();
    const QStringList listCrowded = crowded(birthdays.get());
    QVERIFY2(listCrowded.isEmpty(), qPrintable(listCrowded.join(QStringLiteral("; "))));
    std::unique_ptr<TFrmCadLembretes> reminders(CreateForm<TFrmCadLembretes>());
    reminders->show();
    const QStringList remindersCrowded = crowded(reminders.get());
    QVERIFY2(remindersCrowded.isEmpty(), qPrintable(remindersCrowded.join(QStringLiteral("; "))));
    std::unique_ptr<TFrmOpcoes> options(CreateForm<TFrmOpcoes>());
    options->show();
    const QStringList optionsCrowded = crowded(options.get());
    QVERIFY2(optionsCrowded.isEmpty(), qPrintable(optionsCrowded.join(QStringLiteral("; "))));
}

TARVO_APPLICATION_TEST_MAIN(TestCaptionsFit)
#include "tst_captionsfit.moc"
