#pragma once
// The basic-data form on the fee test databases, with its controls found by name.
#include "FeeTestDb.h"
#include "TestApp.h"
#include "core/AppState.h"
#include "core/Money.h"
#include "fee/Grunddat.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/ToolBand.h"
#include "platform/settings/SettingsStore.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee::test {

// Templates of the delivered master data, by LfNr.
inline constexpr int32_t Gebaeude = 1;
inline constexpr int32_t TechnischeAusruestung = 5;
inline constexpr int32_t Gebaeude1991 = 6;

// The dialogs of the form keep their window positions in a store of the test run, not in the user's.
inline settings::SettingsStore& FensterPositionenImTestordner() {
    static QTemporaryDir ordner;
    static const auto store = std::make_shared<settings::SettingsStore>(ordner.path() + "/einstellungen.ini");
    App().SetEinstellungen(store);
    return *store;
}

// Drives the next modal dialog of type D from inside its own event loop. Another modal widget is closed and
// not counted; a dialog the step leaves open is rejected, so the opener never waits for a click.
class ModalerDialog {
public:
    ModalerDialog() { timer_.setInterval(5); }
    template <class D> void Naechster(std::function<void(D&)> schritt) {
        timer_.disconnect();
        QObject::connect(&timer_, &QTimer::timeout, [this, schritt] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            timer_.stop();
            auto* d = qobject_cast<D*>(w);
            if (!d) {
                w->close();
                return;
            }
            ++gesehen_;
            schritt(*d);
            if (d->isVisible()) d->reject();
        });
        timer_.start();
    }
    int Gesehen() const { return gesehen_; }

private:
    QTimer timer_;
    int gesehen_ = 0;
};

struct FormFixture {
    FeeDbs dbs;
    std::unique_ptr<Grunddat> form;

    FormFixture() {
        testApp();
        form = std::make_unique<Grunddat>(*dbs.projekt, *dbs.stamm);
    }
    bool open(int32_t lfnr = 1, int16_t display = 0, int16_t input = 0, int16_t art = 0) {
        return form->MakeconectionGRDAT(lfnr, display, input, art);
    }
    QLineEdit* text(int i) const { return form->findChild<QLineEdit*>(QString("Text1_%1").arg(i)); }
    QLineEdit* feld(const char* name) const { return form->findChild<QLineEdit*>(name); }
    QTabWidget* tabs() const { return form->findChild<QTabWidget*>("SSTab1"); }
    forms::BoundGridView* kosten() const { return form->findChild<forms::BoundGridView*>("SSDBGrid1"); }
    forms::BoundGridModel* kostenModel() const { return kosten()->BoundModel(); }
    QTableWidget* phasen() const { return form->findChild<QTableWidget*>("SSDBGrid2"); }

    // The stored Grunddaten row of the calculation and plant group.
    db::Recordset grunddaten(int gruppe = 1, int32_t lfnr = 1) const {
        db::Recordset rs =
            dbs.projekt->OpenRecordset("SELECT * FROM Grunddaten WHERE LfNrBeReList = ? AND AnlageGruppe = ?",
                                       db::Params().Add(int64_t{lfnr}).Add(int64_t{gruppe}));
        if (!rs.Empty()) rs.MoveFirst();
        return rs;
    }
    db::Recordset leistungsbild(int gruppe = 1, int32_t lfnr = 1) const {
        db::Recordset rs = dbs.projekt->OpenRecordset(
            "SELECT * FROM Leistungsbild WHERE LfNrBeReList = ? AND ZuordnungAnlGrp = ?",
            db::Params().Add(int64_t{lfnr}).Add(int64_t{gruppe}));
        if (!rs.Empty()) rs.MoveFirst();
        return rs;
    }
    int64_t count(const std::string& sql) const {
        db::Recordset rs = dbs.projekt->OpenRecordset(sql);
        rs.MoveFirst();
        return rs.GetInt(rs.FieldNames().at(0));
    }

    // Types an amount into a visible cost column of the section shown and writes the line.
    bool kostenEingeben(int row, const char* field, const QString& text) {
        forms::BoundGridModel* m = kostenModel();
        const bool ok = m->setData(m->index(row, m->ColumnOf(field)), text);
        return m->Commit() && ok;
    }

    // A copy of the § 34 template on a copy of the § 35 table with the given zone count and slots.
    int32_t vorlage(int zonen, const std::string& koZU = "1,1,1,1,1,1,1,1,1,0", bool mitTafel = true) {
        db::Database& s = *dbs.stamm;
        int64_t tafel = 999;
        if (mitTafel) {
            s.Execute("INSERT INTO TafelVerzeichnis (HoaiPara, HoaiBez, ZonenAnz, MaxWert, MinWert, HOAIALT) "
                      "SELECT 'T', 'Test', ?, MaxWert, MinWert, 0 FROM TafelVerzeichnis WHERE LfNr = 1",
                      db::Params().Add(int64_t{zonen}));
            tafel = s.LastInsertId();
            std::string sp = "AKosten";
            for (int i = 1; i <= 10; ++i)
                sp += ", S" + std::to_string(i);
            s.Execute("INSERT INTO Tafel (LfNrTafel, " + sp + ") SELECT ?, " + sp +
                          " FROM Tafel WHERE LfNrTafel = 1",
                      db::Params().Add(tafel));
        }
        std::string cols =
            "Parag, ParagBezeichnung, HoaiTafel, HoaiTafelBez, Einheit, Integrationspl, Kontenplan, "
            "Anlagegruppen, HOAIALT";
        for (int i = 1; i <= 10; ++i) {
            const std::string n = i < 10 ? "0" + std::to_string(i) : "10";
            cols += ", LiTX" + n + ", proz" + n;
        }
        s.Execute("INSERT INTO Leistungsbilder (" + cols + ") SELECT " + cols +
                  " FROM Leistungsbilder WHERE LfNr = 1");
        const int64_t lfnr = s.LastInsertId();
        std::string set = "HoaiTafelZuordnung = ?, Parag = 'T" + std::to_string(lfnr) + "'";
        db::Params p;
        p.Add(tafel);
        size_t pos = 0;
        for (int i = 1; i <= 10; ++i) {
            const size_t next = koZU.find(',', pos);
            const std::string n = i < 10 ? "0" + std::to_string(i) : "10";
            set += ", KoZU" + n + " = ?";
            p.Add(int64_t{std::stoi(koZU.substr(pos, next - pos))});
            pos = next == std::string::npos ? next : next + 1;
        }
        p.Add(lfnr);
        s.Execute("UPDATE Leistungsbilder SET " + set + " WHERE LfNr = ?", p);
        return static_cast<int32_t>(lfnr);
    }
};

} // namespace velu::fee::test
