#include "ui/PagePanelTest.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "messages/UiHost.h"
#include "ui/QtPagePanel.h"
#include "ui/QtWizardDialog.h"
#include "ui/WizardFixture.h"
#include "wizard/PageView.h"
#include "wizard/WizardPage.h"

namespace tv::test {

namespace {

constexpr int kButton = 1001;
constexpr int kRadioA = 1002;
constexpr int kRadioB = 1003;
constexpr int kList = 1004;
constexpr int kEdit = 1005;
constexpr int kDate = 1006;
constexpr int kBar = 1007;
constexpr int kTable = 1008;
constexpr int kLabel = 1009;
constexpr int kBox = 1010;

// A core page that writes down what the face tells it.
class RecordingPage : public CWizardPage {
public:
    RecordingPage() : CWizardPage(900) {}
    void OnCommand(int c) override { heard.push_back("command " + std::to_string(c)); }
    void OnSelectionChange(int c) override { heard.push_back("selection " + std::to_string(c)); }
    void OnEditChange(int c) override { heard.push_back("edit " + std::to_string(c)); }
    void OnTimer(int id) override { heard.push_back("timer " + std::to_string(id)); }
    void OnBrowse() override { heard.push_back("browse"); }
    void OnPaint() override { ++paints; }
    std::vector<std::string> Take() { return std::exchange(heard, {}); }
    std::vector<std::string> heard;
    int paints = 0;
};

class TestPanel : public QtPagePanel {
public:
    TestPanel() : QtPagePanel(900, page_) {
        auto* layout = new QVBoxLayout(this);
        button = new QPushButton(QStringLiteral("Go"), this);
        radioA = new QRadioButton(this);
        radioB = new QRadioButton(this);
        list = new QComboBox(this);
        edit = new QLineEdit(this);
        date = new QDateEdit(this);
        bar = new QProgressBar(this);
        table = new QTreeWidget(this);
        label = new QLabel(this);
        box = new QCheckBox(this);
        const std::pair<int, QWidget*> controls[] = {{kButton, button}, {kRadioA, radioA}, {kRadioB, radioB},
                                                     {kList, list},     {kEdit, edit},     {kDate, date},
                                                     {kBar, bar},       {kTable, table},   {kLabel, label},
                                                     {kBox, box}};
        for (const auto& [id, widget] : controls) {
            layout->addWidget(widget);
            Add(id, widget);
        }
        Controls().NextOnEnter(kEdit);
    }
    RecordingPage& Page() { return page_; }
    PageView& View() { return Controls(); }

    QPushButton* button;
    QRadioButton* radioA;
    QRadioButton* radioB;
    QComboBox* list;
    QLineEdit* edit;
    QDateEdit* date;
    QProgressBar* bar;
    QTreeWidget* table;
    QLabel* label;
    QCheckBox* box;

private:
    RecordingPage page_;
};

// A second page, whose Back leads to the first.
class SecondPage : public CWizardPage {
public:
    SecondPage() : CWizardPage(901) {}
    void OnSetActive() override { ++activations; }
    int OnWizardBack() override { return 900; }
    int activations = 0;
};

class SecondPanel : public QtPagePanel {
public:
    SecondPanel() : QtPagePanel(901, page_) {}
    SecondPage page_;
};

// The window with the test panel first and the second panel, on screen.
struct Window {
    Window() {
        f.Start("dX");
        wizard.AddPage(panel);
        wizard.AddPage(old);
        wizard.ShowFirstPage();
        wizard.show();
        QApplication::processEvents();
    }
    WizardFixture f;
    QtWizardDialog wizard;
    TestPanel* panel = new TestPanel;
    SecondPanel* old = new SecondPanel;
};

}  // namespace

void PagePanelTest::userActionsReachTheCorePageAndItsOwnChangesDoNot() {
    Window w;
    TestPanel& p = *w.panel;
    p.View().AddItem(kList, u"one");
    p.View().AddItem(kList, u"two");
    p.button->click();
    p.box->click();
    p.radioB->click();
    QTest::keyClicks(p.edit, QStringLiteral("ab"));
    p.list->setCurrentIndex(1);
    p.date->setDate(p.date->date().addDays(1));
    QCOMPARE(p.Page().Take(), (std::vector<std::string>{"command 1001", "command 1010", "command 1003", "edit 1005",
                                                        "edit 1005", "selection 1004", "edit 1006"}));

    // What the page sets is not news to it.
    PageView& v = p.View();
    v.SetText(kEdit, u"typed by the page");
    v.ClearItems(kList);
    v.AddItem(kList, u"alpha");
    v.AddItem(kList, u"beta");
    v.Select(kList, 1);
    v.SetDate(kDate, DayDate{2016, 2, 29});
    v.SetChecked(kBox, true);
    QCOMPARE(p.Page().Take(), std::vector<std::string>{});
    QCOMPARE(p.edit->text(), QStringLiteral("typed by the page"));
    QCOMPARE(v.Selection(kList), 1);
    QVERIFY(v.ItemText(kList, 0) == u"alpha");
    QCOMPARE(p.date->date(), QDate(2016, 2, 29));
    QCOMPARE(v.GetDate(kDate).day, 29);
    QVERIFY(p.box->isChecked());

    // F3 is the page's browse action; every paint reaches the page.
    QTest::keyClick(&w.wizard, Qt::Key_F3);
    QCOMPARE(p.Page().Take(), std::vector<std::string>{"browse"});
    const int paints = p.Page().paints;
    p.repaint();
    QVERIFY(p.Page().paints > paints);
}

void PagePanelTest::panelsShareTheNavigation() {
    Window w;
    QCOMPARE(w.wizard.ActivePage(), static_cast<QtWizardPage*>(w.panel));
    QVERIFY(w.panel->IsActive() && !w.old->IsCreated());
    QCOMPARE(w.wizard.FindPage(901), static_cast<QtWizardPage*>(w.old));

    // Enter in the edit moves Next once: to the second panel.
    w.panel->edit->setFocus();
    QTest::keyClick(w.panel->edit, Qt::Key_Return);
    QCOMPARE(w.wizard.ActivePage(), static_cast<QtWizardPage*>(w.old));
    QCOMPARE(w.old->page_.activations, 1);
    QVERIFY(w.old->IsActive() && !w.panel->IsActive());
    QVERIFY(w.old->isVisible() && !w.panel->isVisible());
    QCOMPARE(w.old->Wizard(), &w.wizard);
    QVERIFY(!w.wizard.BackButton()->isHidden());

    // Its Back answer leads to the panel; Alt+Right moves Next again.
    w.wizard.BackButton()->click();
    QCOMPARE(w.wizard.ActivePage(), static_cast<QtWizardPage*>(w.panel));
    QVERIFY(w.panel->isVisible());
    QTest::keyClick(&w.wizard, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(w.old->page_.activations, 2);
}

void PagePanelTest::radioButtonsAndTimersFollowThePage() {
    Window w;
    TestPanel& p = *w.panel;
    PageView& v = p.View();
    v.SetChecked(kRadioA, true);
    v.SetChecked(kRadioB, true);
    QVERIFY(!v.IsChecked(kRadioA) && v.IsChecked(kRadioB));
    // Qt keeps one radio button of a group checked; the page may clear them all.
    v.SetChecked(kRadioB, false);
    QVERIFY(!v.IsChecked(kRadioA) && !v.IsChecked(kRadioB));
    p.radioA->click();
    QVERIFY(v.IsChecked(kRadioA));

    // Shown and enabled as the page set them, on screen or not.
    p.hide();
    v.Show(kLabel, false);
    v.Enable(kBox, false);
    QVERIFY(!v.IsVisible(kLabel) && v.IsVisible(kBox) && !v.IsEnabled(kBox) && v.IsEnabled(kEdit));
    v.Show(kLabel, true);
    QVERIFY(v.IsVisible(kLabel));
    p.show();

    p.Page().Take();
    v.SetTimer(7, 5);
    QTRY_VERIFY(p.Page().heard.size() >= 2);
    v.KillTimer(7);
    const std::vector<std::string> heard = p.Page().Take();
    QCOMPARE(heard.front(), std::string("timer 7"));
    QTest::qWait(40);
    QCOMPARE(p.Page().Take(), std::vector<std::string>{});
}

void PagePanelTest::viewsOfBarsListsAndPickers() {
    Window w;
    TestPanel& p = *w.panel;
    PageView& v = p.View();
    v.Progress(kBar)->SetRange(0, 10);
    v.Progress(kBar)->SetPos(4);
    QCOMPARE(p.bar->value(), 4);
    v.SetBarState(kBar, BarState::kError);
    QVERIFY(p.bar->styleSheet().contains(QStringLiteral("#ff0000")));
    v.SetBarState(kBar, BarState::kNormal);
    QVERIFY(p.bar->styleSheet().isEmpty());
    QVERIFY(v.Progress(kLabel) == nullptr && v.Results(kBar) == nullptr);

    v.SetColumns(kTable, {u"S.No", u"File Name"}, {40, 200});
    QCOMPARE(p.table->headerItem()->text(1), QStringLiteral("File Name"));
    ResultList* rows = v.Results(kTable);
    rows->InsertRow(0, u"1");
    rows->SetCell(0, 1, u"a.xml");
    v.MarkCell(kTable, 0, 1, true);
    QCOMPARE(p.table->topLevelItem(0)->foreground(1).color(), QColor(190, 20, 20));
    v.MarkCell(kTable, 0, 1, false);
    QCOMPARE(p.table->topLevelItem(0)->foreground(1).style(), Qt::NoBrush);
    v.MarkCell(kTable, 5, 1, true);  // no such row: nothing happens

    // A file to write gets the chosen filter's extension when none was typed.
    QString answer = QStringLiteral("/tmp/report");
    QString asked;
    QtPageControls::SetPicker([&](QWidget*, PickerKind, const QString&, const QString&, const QString& filters,
                                  QString* chosen) {
        asked = filters;
        if (chosen != nullptr) *chosen = QStringLiteral("HTML (*.htm)");
        return answer;
    });
    const std::vector<FileFilter> filters = {{u"PDF", u"*.pdf"}, {u"HTML", u"*.htm"}};
    QVERIFY(v.ChooseSaveFile(u"Save", u"", filters) == u"/tmp/report.htm");
    QCOMPARE(asked, QStringLiteral("PDF (*.pdf);;HTML (*.htm)"));
    answer = QStringLiteral("/tmp/report.txt");
    QVERIFY(v.ChooseSaveFile(u"Save", u"", filters) == u"/tmp/report.txt");
    answer.clear();
    QVERIFY(v.ChooseSaveFile(u"Save", u"", filters).empty());
    answer = QStringLiteral("/cards/K");
    QVERIFY(v.ChooseFolder(u"Folder", u"/cards") == u"/cards/K");
    QtPageControls::SetPicker(nullptr);
}

}  // namespace tv::test
