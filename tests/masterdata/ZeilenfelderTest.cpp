// The master-data editors take a name pasted from a letter as one line, in every field and in the cells of
// their grids; an employee's pasted name is stored so.
#include "Zeilenfelder.h"
#include "GridEnter.h"
#include "StammFixture.h"
#include "TestApp.h"
#include "masterdata/Grundleistung.h"
#include "masterdata/HOAITAFEL.h"
#include "masterdata/LBild.h"
#include "masterdata/Mitarbeiter.h"
#include "masterdata/TafelStore.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/EinzeiligeFelder.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>

using namespace velu;
using namespace velu::masterdata;

namespace {

class StammZeilenfelder : public StammFixture {
protected:
    void SetUp() override {
        testApp();
        forms::EinzeiligeFelderEinrichten();
        StammFixture::SetUp();
        stamm_->Execute(
            "INSERT INTO AufwandVerz (Positionsnummer, Leistung, Einheit, zuordnung, interSatz, Satz, "
            "AlDispinterSatz, AlDispSatz) VALUES ('1.01', 'Bestandsaufnahme', 'Std', 1, 1173498, "
            "1760247, 600000, 900000)");
        stamm_->Execute(
            "INSERT INTO Mitarbeiter (Mitarbeiter, StundensatzInt, Stundensatzext, AlDispStundensatzInt, "
            "AlDispStundensatzext) VALUES ('Anna Becker', 1466873, 2346996, 750000, 1200000)");
    }
    forms::MessageBoxScript boxen_;
};

TEST_F(StammZeilenfelder, EveryFieldOfTheEditorsTakesAPastedNameAsOneLine) {
    const auto kopie = TafelStore(*stamm_).CopyAufr(Tafel("56"));
    ASSERT_TRUE(std::holds_alternative<int64_t>(kopie));
    HOAITAFEL tafel(*stamm_, nullptr, [](int64_t) { return std::vector<std::string>{}; });
    // The office's own copy, whose name and values can be edited.
    tafel.LoadInEdit(QString::number(std::get<int64_t>(kopie)));
    LBild bild(*stamm_);
    Grundleistung katalog(*stamm_);
    Mitarbeiter personal(*stamm_);
    for (QWidget* f : std::initializer_list<QWidget*>{&tafel, &bild, &katalog, &personal}) {
        SCOPED_TRACE(f->metaObject()->className());
        f->resize(1200, 700);
        f->show();
        QApplication::processEvents();
        EXPECT_EQ(eingabe::ZeilenfelderPruefen(*f).join("\n").toStdString(), "");
        f->hide();
    }
}

TEST_F(StammZeilenfelder, AnEmployeesPastedNameIsStoredAsOneLine) {
    Mitarbeiter f(*stamm_);
    f.resize(900, 260);
    f.show();
    QApplication::processEvents();
    auto* grid = f.findChild<forms::BoundGridView*>();
    ASSERT_TRUE(grid);
    forms::BoundGridModel* m = grid->BoundModel();
    const QModelIndex zelle = m->index(0, m->ColumnOf("Mitarbeiter"));
    grid->setFocus();
    grid->setCurrentIndex(zelle);
    grid->edit(zelle);
    QLineEdit* e = eingabe::ZellEditor(*grid);
    ASSERT_TRUE(e);
    e->setFocus();
    eingabe::Einfuegen(*e, "Anna Becker\nArchitektin");
    eingabe::Taste(*e, Qt::Key_Return);
    ASSERT_TRUE(m->Commit());
    auto rs = stamm_->OpenRecordset("SELECT Mitarbeiter FROM Mitarbeiter");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetText("Mitarbeiter"), "Anna Becker Architektin");
}

} // namespace
