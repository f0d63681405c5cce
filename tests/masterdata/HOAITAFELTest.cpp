#include "masterdata/HOAITAFEL.h"
#include "GridEnter.h"
#include "StammFixture.h"
#include "TestApp.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QLineEdit>
#include <QTreeWidget>

using namespace velu;
using namespace velu::masterdata;
using forms::MessageBoxScript;
using forms::MsgResult;

namespace {

// A master database whose first table is a user table, built before the delivered ones.
class HOAITAFELTest : public StammFixture {
public:
    void SetUp() override {
        testApp();
        std::string error;
        stamm_ = DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(stamm_) << error;
        stamm_->Execute(
            "INSERT INTO TafelVerzeichnis (HoaiPara, HoaiBez, STDHOAI, ZonenAnz, MaxWert, MinWert, "
            "HOAIALT) VALUES ('U1', 'Eigene Tafel', 0, 1, 2000000, 1000000, 0)");
        eigene_ = stamm_->LastInsertId();
        stamm_->Execute("INSERT INTO Tafel (LfNrTafel, AKosten, S1, S2, BEZTAFEL, HOAIALT, STDHOAI) VALUES "
                        "(?, 1000000, 100000, 200000, 'U1', 0, 0), (?, 2000000, 300000, 400000, 'U1', 0, 0)",
                        db::Params().Add(eigene_).Add(eigene_));
        MasterDataLoader::Load(*stamm_, HoaiDaten());
    }

    std::string Kopf(int64_t lfnr) {
        auto rs =
            stamm_->OpenRecordset("SELECT HoaiPara, HoaiBez, STDHOAI, ZonenAnz, MaxWert, MinWert, HOAIALT "
                                  "FROM TafelVerzeichnis WHERE LfNr = ?",
                                  db::Params().Add(lfnr));
        std::string out;
        for (const auto& f : rs.FieldNames())
            out += rs.GetText(f) + "|";
        return out;
    }
    void Waehle(HOAITAFEL& f, int64_t lfnr) {
        QTreeWidget* t = f.TreeView1();
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            if (t->topLevelItem(i)->data(0, Qt::UserRole).toString() == "@" + QString::number(lfnr))
                t->setCurrentItem(t->topLevelItem(i));
    }
    QLineEdit* Text(HOAITAFEL& f, int i) { return f.findChild<QLineEdit*>(QString("XtraText1_%1").arg(i)); }

    int64_t eigene_ = 0;
    std::vector<std::string> nutzer_;
    HOAITAFEL::Verwender verwender_ = [this](int64_t) { return nutzer_; };
};

} // namespace

TEST_F(HOAITAFELTest, OpeningCopyAndDeleteNeverWriteTheFirstHeader) {
    MessageBoxScript boxen({MsgResult::Yes});
    const std::string erste = Kopf(eigene_);
    const int64_t p40 = Tafel("40");
    const std::string kopf40 = Kopf(p40);
    {
        HOAITAFEL f(*stamm_, nullptr, verwender_);
        EXPECT_EQ(f.AktTafel(), eigene_);
        EXPECT_EQ(Text(f, 0)->text(), "Eigene Tafel");
        Waehle(f, p40);
        EXPECT_EQ(f.AktTafel(), p40);
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "COPY"));
        const int64_t kopie = f.AktTafel();
        EXPECT_NE(kopie, p40);
        EXPECT_EQ(Text(f, 1)->text(), "XXX");
        EXPECT_TRUE(f.ActiveBar1().Enabled("Band1", "DEL"));
        Text(f, 0)->setText("Wird gelöscht");
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "DEL"));
        ASSERT_EQ(boxen.Shown().size(), 1u);
        EXPECT_EQ(boxen.Shown()[0].text, "Soll diese Tafel wirklich gelöscht werden");
        EXPECT_EQ(boxen.Shown()[0].defaultButton, 1);
        EXPECT_EQ(Zahl("SELECT Count(*) FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(kopie)), 0);
        EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(kopie)), 0);
        // The first node is selected again.
        EXPECT_EQ(f.AktTafel(), eigene_);
        EXPECT_EQ(f.TreeView1()->currentItem(), f.TreeView1()->topLevelItem(0));
        ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    }
    EXPECT_EQ(Kopf(eigene_), erste);
    EXPECT_EQ(Kopf(p40), kopf40);
}

TEST_F(HOAITAFELTest, TableInUseIsNotDeletedAndNoQuestionAsked) {
    MessageBoxScript boxen({MsgResult::Yes});
    nutzer_ = {"Leistungsbild Meins", "Projekt 00000007: Berechnung Angebot"};
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "DEL"));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text, "Diese Tafel wird noch verwendet und kann nicht gelöscht werden:\n"
                                     "Leistungsbild Meins\nProjekt 00000007: Berechnung Angebot");
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(eigene_)), 2);
    EXPECT_EQ(f.AktTafel(), eigene_);
}

TEST_F(HOAITAFELTest, BuiltInTableRefusesEditsAndLeavingWritesNothing) {
    MessageBoxScript boxen;
    const int64_t p35 = Tafel("35");
    const std::string kopf = Kopf(p35);
    const std::string zeilen = Zeilen(p35);
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    Waehle(f, p35);
    ASSERT_EQ(f.AktTafel(), p35);
    EXPECT_FALSE(f.ActiveBar1().Enabled("Band1", "DEL"));
    EXPECT_TRUE(Text(f, 0)->isReadOnly());
    EXPECT_TRUE(Text(f, 1)->isReadOnly());
    forms::BoundGridModel* m = f.Model();
    EXPECT_EQ(m->rowCount(), 20); // no new-row line
    EXPECT_FALSE(m->setData(m->index(0, 1), "1"));
    EXPECT_FALSE(m->DeleteRow(0));
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_EQ(Kopf(p35), kopf);
    EXPECT_EQ(Zeilen(p35), zeilen);
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(HOAITAFELTest, RowsOfAUserTableAreCheckedAndWrittenToIt) {
    MessageBoxScript boxen;
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    forms::BoundGridModel* m = f.Model();
    ASSERT_EQ(m->rowCount(), 3); // two rows and the new-row line
    struct Fall {
        int row;
        int column;
        const char* text;
        bool angenommen;
        const char* meldung;
    } faelle[] = {
        {0, 3, "2a", false, "Es sind nur nummerische Eingaben erlaubt"},
        {2, 0, "200", true, "Diese anrechenbaren Kosten stehen schon in der Tafel."},
        {2, 0, "150", true, "Die Werte der Tafel müssen mit den anrechenbaren Kosten steigen."},
    };
    for (const auto& fall : faelle) {
        const size_t vorher = boxen.Shown().size();
        const QVariant vorherWert = m->data(m->index(fall.row, fall.column));
        EXPECT_EQ(m->setData(m->index(fall.row, fall.column), fall.text), fall.angenommen) << fall.text;
        if (!fall.angenommen) EXPECT_EQ(m->data(m->index(fall.row, fall.column)), vorherWert) << fall.text;
        if (fall.angenommen) {
            if (fall.column == 0 && std::string(fall.text) == "150") m->setData(m->index(fall.row, 1), "50");
            EXPECT_FALSE(m->Commit()) << fall.text;
        }
        ASSERT_EQ(boxen.Shown().size(), vorher + 1) << fall.text;
        EXPECT_EQ(boxen.Shown().back().text, fall.meldung);
    }
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(eigene_)), 2);

    // A new row between the two, to four decimals; it belongs to the table shown.
    ASSERT_TRUE(m->setData(m->index(2, 0), "150"));
    ASSERT_TRUE(m->setData(m->index(2, 1), "15,1234"));
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ? AND BEZTAFEL = 'U1' AND S1 = 151234 AND "
                   "AKosten = 1500000",
                   db::Params().Add(eigene_)),
              1);
}

TEST_F(HOAITAFELTest, EditorOfACellShowsTheFullStoredValue) {
    MessageBoxScript boxen;
    stamm_->Execute("UPDATE Tafel SET S2 = 2000001896 WHERE LfNrTafel = ? AND AKosten = 1000000",
                    db::Params().Add(eigene_));
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    forms::BoundGridModel* m = f.Model();
    EXPECT_EQ(m->data(m->index(0, 2), Qt::DisplayRole).toString(), "200.000,19");
    EXPECT_EQ(m->data(m->index(0, 2), Qt::EditRole).toString(), "200.000,1896");
    EXPECT_EQ(m->data(m->index(0, 1), Qt::EditRole).toString(), "10,00");
}

TEST(HOAITAFELLeer, EmptyTreeLeavesFieldsEmptyAndGridAndDeleteOff) {
    testApp();
    MessageBoxScript boxen;
    TestDir dir;
    auto stamm = LeereStammDB(dir);
    ASSERT_TRUE(stamm);
    HOAITAFEL f(*stamm, nullptr, [](int64_t) { return std::vector<std::string>{}; });
    EXPECT_EQ(f.AktTafel(), 0);
    EXPECT_EQ(f.TreeView1()->topLevelItemCount(), 0);
    EXPECT_TRUE(f.findChild<QLineEdit*>("XtraText1_0")->text().isEmpty());
    EXPECT_FALSE(f.SSDBGrid2().isEnabled());
    EXPECT_FALSE(f.ActiveBar1().Enabled("Band1", "DEL"));
    EXPECT_TRUE(f.ActiveBar1().Click("Band1", "COPY"));
    EXPECT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(HOAITAFELTest, ARefusedRowKeepsTheWindowAndItsTableForTheCorrection) {
    MessageBoxScript boxen;
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    f.show();
    forms::BoundGridModel* m = f.Model();
    const QTreeWidgetItem* gezeigt = f.TreeView1()->currentItem();
    struct Fall {
        const char* tool; // "" for choosing another table in the tree
    } faelle[] = {{"EXIT"}, {""}};
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.tool);
        const size_t vorher = boxen.Shown().size();
        // Costs equal to those of a stored row.
        ASSERT_TRUE(m->setData(m->index(2, 0), "200"));
        if (*fall.tool)
            ASSERT_TRUE(f.ActiveBar1().Click("Band1", fall.tool));
        else
            f.TreeView1()->setCurrentItem(f.TreeView1()->topLevelItem(
                f.TreeView1()->topLevelItem(0) == gezeigt ? 1 : 0));
        ASSERT_EQ(boxen.Shown().size(), vorher + 1);
        EXPECT_EQ(boxen.Shown().back().text, "Diese anrechenbaren Kosten stehen schon in der Tafel.");
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.TreeView1()->currentItem(), gezeigt);
    }
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(eigene_)), 2);
    // Nothing refused: the window closes.
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "EXIT"));
    EXPECT_FALSE(f.isVisible());
}

TEST_F(HOAITAFELTest, EnterAfterARefusedCellKeepsTheOldValueAndTheCursor) {
    HOAITAFEL f(*stamm_, nullptr, verwender_);
    f.show();
    forms::BoundGridModel* m = f.Model();
    auto* grid = f.findChild<forms::BoundGridView*>("SSDBGrid2");
    ASSERT_TRUE(grid);
    const QModelIndex zelle = m->index(0, 3);
    const QString vorher = m->data(zelle).toString();
    EXPECT_EQ(eingabe::MitEnterEingeben(*grid, zelle, "2a"),
              std::vector<QString>{"Es sind nur nummerische Eingaben erlaubt"});
    EXPECT_EQ(m->data(zelle).toString(), vorher);
    EXPECT_EQ(grid->currentIndex(), zelle);
    EXPECT_EQ(f.focusWidget(), grid);
    EXPECT_TRUE(f.isVisible());
}
