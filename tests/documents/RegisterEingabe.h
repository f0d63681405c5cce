#pragma once
// The register used as a clerk uses it: EDIT through the program's forms, a figure typed into a field of
// the details, the invoice number, the payments grid and the tree's nodes.
#include "expenses/StdRech.h"
#include "expenses/ZeilenModell.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammFixture.h"
#include "register/ZahlungenTab.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <utility>
#include <vector>

namespace eingabe {

using velu::reg::BerAuswahl;

// EDIT through the basic-data form; a profile named by its paragraph ("§ 39") is chosen from the form's menu
// of service profiles first.
inline void Edit(BerAuswahl& w, const GrunddatEingabe& e, bool anzeigeIstEingabe,
                 const char* parag = nullptr) {
    ModalDriver<velu::fee::Grunddat> drv([&](velu::fee::Grunddat& f) {
        if (parag) {
            velu::db::Recordset rs = velu::App().StammDB()->OpenRecordset(
                "SELECT LfNr, HOAIALT FROM Leistungsbilder WHERE Trim(Replace(Parag, '§', '')) = ? "
                "ORDER BY LfNr",
                velu::db::Params().Add(QString::fromUtf8(parag).remove(QChar(0xA7)).trimmed().toStdString()));
            ASSERT_FALSE(rs.Empty()) << parag;
            const QString band = rs.GetInt("HOAIALT") != 0 ? "Leistungsphasen1991" : "Leistungsphasen";
            ASSERT_TRUE(f.Bar().Click(band, QString("PX%1").arg(rs.GetInt("LfNr")))) << parag;
        }
        GrunddatAusfuellen(f, e, anzeigeIstEingabe);
    });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    ASSERT_TRUE(drv.Ran());
}

// EDIT of an hourly-rate invoice: each position (quantity, rate) entered into the form's grid.
inline void Stunden(BerAuswahl& w, const std::vector<std::pair<const char*, const char*>>& positionen) {
    ModalDriver<velu::expenses::StdRech> drv([&](velu::expenses::StdRech& f) {
        auto* m = f.Positionen();
        for (auto [menge, satz] : positionen) {
            const int row = m->rowCount() - 1;
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Menge")), menge));
            ASSERT_TRUE(m->setData(m->index(row, m->ColumnOf("Satz")), satz));
            ASSERT_TRUE(m->Commit());
        }
        f.ActiveBar1().Click("Band1", "OK");
    });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    ASSERT_TRUE(drv.Ran());
}

// EDIT of a site-supervision invoice through its form.
inline void Bauueberwachung(BerAuswahl& w, const Parag57Eingabe& e) {
    ModalDriver<velu::fee::Parag57> drv([&](velu::fee::Parag57& d) {
        Parag57Ausfuellen(d, e);
        d.ActiveBar().Click("OK");
    });
    ASSERT_TRUE(w.ActiveBar1().Click("Band1", "EDIT"));
    ASSERT_TRUE(drv.Ran());
}

// A figure typed into field index of the details (8 the VAT rate, 10 the discount) and left.
inline void Tippe(BerAuswahl& w, int index, const QString& text) {
    QLineEdit* f = w.findChild<QLineEdit*>(QString("XtraText2(%1)").arg(index));
    ASSERT_TRUE(f);
    f->setText(text);
    emit f->textEdited(text);
    ASSERT_TRUE(w.Convert2NormWährung(index));
}

// The invoice number typed; the register takes it over with the next command.
inline void Nummer(BerAuswahl& w, const QString& nummer) {
    QLineEdit* f = w.findChild<QLineEdit*>("XtraText1");
    ASSERT_TRUE(f);
    f->setText(nummer);
    emit f->textEdited(nummer);
}

// A payment typed into the payments grid in the currency it shows.
inline void Zahle(BerAuswahl& w, const QString& betrag) {
    velu::reg::ZahlungenTab* z = w.Zahlungen();
    velu::forms::BoundGridModel* m = z->Model();
    ASSERT_TRUE(m);
    const int spalte = z->SSDBGrid1()->isColumnHidden(velu::reg::ZahlungenTab::Betrag)
                           ? velu::reg::ZahlungenTab::AlDispBetrag
                           : velu::reg::ZahlungenTab::Betrag;
    ASSERT_TRUE(m->setData(m->index(m->StoredRows(), spalte), betrag));
    ASSERT_TRUE(m->Commit());
}

// The register's tree node of calculation lfnr.
inline QTreeWidgetItem* Knoten(BerAuswahl& w, int64_t lfnr) {
    for (QTreeWidgetItemIterator it(w.TreeView1()); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == "@" + QString::number(lfnr)) return *it;
    return nullptr;
}

} // namespace eingabe
