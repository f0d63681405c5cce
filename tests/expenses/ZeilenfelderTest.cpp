// The hourly-rate invoice and the expense records take a name pasted from a letter as one line, in every
// field and cell; a pasted service text is stored so.
#include "Zeilenfelder.h"
#include "StdRechFixture.h"
#include "expenses/Aufwand.h"
#include "platform/forms/EinzeiligeFelder.h"

#include <QApplication>

namespace {

class ZeilenfelderExpenses : public StdRechFixture {
protected:
    void SetUp() override {
        StdRechFixture::SetUp();
        velu::forms::EinzeiligeFelderEinrichten();
    }
};

TEST_F(ZeilenfelderExpenses, EveryFieldTakesAPastedNameAsOneLine) {
    Position("1", "2", "80");
    Erfassen({"1", 0, "2", "85", "170", "43.4598", "86.9196", "2026-11-03", 2, false});
    {
        auto f = Oeffnen(1, 1);
        f->resize(1000, 620);
        f->show();
        QApplication::processEvents();
        EXPECT_EQ(velu::eingabe::ZeilenfelderPruefen(*f).join("\n").toStdString(), "");
    }
    velu::expenses::Aufwand a(*projekt_, *stamm_, *settings_, nullptr, "2,00 DM");
    a.resize(1400, 700);
    a.show();
    QApplication::processEvents();
    EXPECT_EQ(velu::eingabe::ZeilenfelderPruefen(a).join("\n").toStdString(), "");
}

// The service text of a position pasted with its line break, as a clerk copies it from an offer.
TEST_F(ZeilenfelderExpenses, APastedServiceTextIsStoredAsOneLine) {
    auto f = Oeffnen(1, 1);
    f->resize(1000, 620);
    f->show();
    QApplication::processEvents();
    velu::forms::BoundGridView* grid = f->findChild<velu::forms::BoundGridView*>();
    ASSERT_TRUE(grid);
    velu::forms::BoundGridModel* m = f->Positionen();
    const QModelIndex zelle = m->index(m->rowCount() - 1, m->ColumnOf("Leistung"));
    grid->setFocus();
    grid->setCurrentIndex(zelle);
    grid->edit(zelle);
    QLineEdit* e = velu::eingabe::ZellEditor(*grid);
    ASSERT_TRUE(e);
    e->setFocus();
    velu::eingabe::Einfuegen(*e, "Bauleitung\r\nRohbau");
    velu::eingabe::Taste(*e, Qt::Key_Return);
    ASSERT_TRUE(m->Commit());
    EXPECT_EQ(Gespeichert(0, "Leistung"), velu::db::Value(std::string("Bauleitung Rohbau")));
}

} // namespace
