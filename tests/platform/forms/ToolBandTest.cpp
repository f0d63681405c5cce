#include "TestApp.h"
#include "platform/forms/ToolBand.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace velu::forms;

namespace {
// One application for every test of this program, whichever file creates it first.
void app() {
    testApp();
}

struct Fixture {
    QMainWindow form;
    ToolBand bar{&form};
    QStringList dispatched;
    Fixture() {
        bar.AddBand("Band1", ToolBand::BandKind::ToolBar);
        bar.AddTools({
            {"Band1", "OK", "OK", "Übernehmen"},
            {"Band1", "A", "Eins", "Tool eins", {}, 0},
            {"Band1", "MENU", "Menü", "Menü", "Popup1"},
            {"Band1", "B", "Zwei", "Tool zwei", {}, 4},
        });
        bar.AddBand("Popup1", ToolBand::BandKind::Popup);
        bar.AddTools({{"Popup1", "C", "Drei", "Tool drei", {}, 4}, {"Popup1", "A", "Eins im Menü"}});
        bar.SetHandler([this](const QString& key) { dispatched << key; });
    }
};
} // namespace

TEST(ToolBand, BandsBecomeToolBarAndMenu) {
    app();
    Fixture f;
    ASSERT_NE(f.bar.ToolBar("Band1"), nullptr);
    EXPECT_EQ(f.bar.ToolBar("Band1")->actions().size(), 4);
    ASSERT_NE(f.bar.Popup("Popup1"), nullptr);
    // The pop-up band was added after the tool that opens it.
    EXPECT_EQ(f.bar.Tool("Band1", "MENU")->menu(), f.bar.Popup("Popup1"));
    EXPECT_EQ(f.bar.Tools("A").size(), 2u);
    EXPECT_EQ(f.bar.Definition("Popup1", "C")->rightsBit, 4);
    EXPECT_EQ(f.bar.Tool("Band1", "X"), nullptr);
}

TEST(ToolBand, RightsEnableByBitAndLeaveOthersAlone) {
    app();
    struct Case {
        uint32_t mask;
        bool a, b, c;
    };
    for (const Case& c : {Case{0, false, false, false}, Case{1, true, false, false},
                          Case{16, false, true, true}, Case{8191, true, true, true}}) {
        Fixture f;
        f.bar.ApplyRights(c.mask);
        EXPECT_EQ(f.bar.Enabled("Band1", "A"), c.a) << c.mask;
        EXPECT_EQ(f.bar.Enabled("Band1", "B"), c.b) << c.mask;
        EXPECT_EQ(f.bar.Enabled("Popup1", "C"), c.c) << c.mask;
        EXPECT_TRUE(f.bar.Enabled("Band1", "OK"));
        EXPECT_TRUE(f.bar.Enabled("Popup1", "A"));
    }
}

TEST(ToolBand, ClickDispatchesOnlyRunnableTools) {
    app();
    Fixture f;
    f.bar.ApplyRights(1);
    EXPECT_TRUE(f.bar.Click("Band1", "OK"));
    EXPECT_TRUE(f.bar.Click("A"));
    EXPECT_FALSE(f.bar.Click("Band1", "B"));    // disabled
    EXPECT_FALSE(f.bar.Click("Band1", "MENU")); // opens its band only
    EXPECT_FALSE(f.bar.Click("Band1", "NONE"));
    f.bar.SetVisible("Band1", "OK", false);
    EXPECT_FALSE(f.bar.Click("Band1", "OK"));
    f.bar.Tool("Popup1", "A")->trigger(); // a real click goes the same way
    EXPECT_EQ(f.dispatched, (QStringList{"OK", "A", "A"}));
}

TEST(ToolBand, CommitHookRunsFirstAndMayVeto) {
    app();
    Fixture f;
    bool erlaubt = false;
    int hooks = 0;
    f.bar.SetCommitHook([&] {
        ++hooks;
        return erlaubt;
    });
    EXPECT_FALSE(f.bar.Click("Band1", "OK"));
    erlaubt = true;
    EXPECT_TRUE(f.bar.Click("Band1", "OK"));
    EXPECT_EQ(hooks, 2);
    EXPECT_EQ(f.dispatched, QStringList{"OK"});
}

TEST(ToolBand, PendingGridEditIsCommittedBeforeTheCommand) {
    app();
    QWidget form;
    auto* lay = new QVBoxLayout(&form);
    auto* grid = new QTableWidget(2, 2, &form);
    lay->addWidget(grid);
    ToolBand bar(&form);
    bar.AddBand("Band1", ToolBand::BandKind::ToolBar);
    bar.AddTool({"Band1", "OK", "OK"});
    QString seen;
    bar.SetHandler([&](const QString&) { seen = grid->item(0, 0) ? grid->item(0, 0)->text() : QString(); });
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0) ? grid->item(0, 0)
                                    : (grid->setItem(0, 0, new QTableWidgetItem), grid->item(0, 0)));
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText("12,5");
    EXPECT_TRUE(bar.Click("Band1", "OK"));
    EXPECT_EQ(seen, "12,5");
}

TEST(ToolBand, StateCaptionsTagAndBandVisibility) {
    app();
    Fixture f;
    f.form.show();
    f.bar.SetCaption("Band1", "A", "Passwort ändern");
    EXPECT_EQ(f.bar.Caption("Band1", "A"), "Passwort ändern");
    f.bar.SetBandVisible("Band1", false);
    EXPECT_FALSE(f.bar.BandVisible("Band1"));
    f.bar.SetBandVisible("Band1", true);
    EXPECT_TRUE(f.bar.BandVisible("Band1"));
    f.bar.SetTag("X");
    EXPECT_EQ(f.bar.Tag(), "X");

    ToolBand cur(&f.form, "Waehrung");
    cur.AddBand("Band1", ToolBand::BandKind::ToolBar);
    ToolDef dm{"Band1", "DM", "DM"}, eur{"Band1", "EUR", "EUR"};
    dm.checkable = eur.checkable = true;
    dm.exclusiveGroup = eur.exclusiveGroup = "W";
    cur.AddTool(dm);
    cur.AddTool(eur);
    cur.SetChecked("Band1", "DM", true);
    cur.SetChecked("Band1", "EUR", true);
    EXPECT_FALSE(cur.Checked("Band1", "DM"));
    EXPECT_TRUE(cur.Checked("Band1", "EUR"));
}
