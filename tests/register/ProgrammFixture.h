#pragma once
// The register over the program's own editors: a fresh project database and a master database with the
// delivered HOAI data, both made current in the process-wide state (where the editors find them), a settings
// store of the test's own, and a driver for the modal dialogs the editors open.
#include "TestApp.h"
#include "TestDir.h"
#include "core/AppState.h"
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "core/Money.h"
#include "fee/Grunddat.h"
#include "fee/Parag57.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/forms/BoundGridModel.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/settings/SettingsStore.h"
#include "register/CalculationSet.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// GCC 12 false positive on moving db::Value temporaries.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

inline std::filesystem::path HoaiDatenOrdner() {
    return std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai";
}

class ProgrammFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        std::string error;
        std::shared_ptr<velu::db::Database> stamm =
            velu::DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB", &error);
        ASSERT_TRUE(stamm) << error;
        velu::MasterDataLoader::Load(*stamm, HoaiDatenOrdner());
        projekt_ = velu::DatabaseSetup::CreateProjektDB(dir_ / "Velupro32.mdb", &error);
        ASSERT_TRUE(projekt_) << error;
        settings_ = std::make_shared<velu::settings::SettingsStore>(
            QString::fromStdString((dir_ / "velunta.ini").string()));
        velu::App().SetStammDB(stamm);
        velu::App().SetProjekt(projekt_, QString::fromStdString((dir_ / "Velupro32.mdb").string()));
        velu::App().SetEinstellungen(settings_);
    }
    void TearDown() override {
        velu::App().SetProjekt(nullptr, {});
        velu::App().SetStammDB(nullptr);
        velu::App().SetEinstellungen(nullptr);
    }

    // A calculation as the new-calculation dialog adds it, VAT 19 %.
    int64_t Neu(char typ, const std::string& bezeichnung, int waehrung,
                const std::string& gruppe = "Neubau") {
        velu::reg::NeueBerechnungDaten d;
        d.gruppe = gruppe;
        d.nummer = "2026-001";
        d.bezeichnung = bezeichnung;
        d.typ = typ;
        d.waehrung = waehrung;
        d.mwstPro = velu::Currency::FromUnits(19);
        d.datum = "2026-12-09";
        return velu::reg::CalculationSet(*projekt_).NeueBerechnung(d);
    }
    velu::Currency Betrag(int64_t lfnr, const std::string& feld) {
        velu::db::Recordset rs = projekt_->OpenRecordset("SELECT " + feld + " FROM BeReList WHERE LfNr = ?",
                                                         velu::db::Params().Add(lfnr));
        return velu::GetCY(rs, feld);
    }
    velu::db::Value Wert(int64_t lfnr, const std::string& feld) {
        velu::db::Recordset rs = projekt_->OpenRecordset("SELECT " + feld + " FROM BeReList WHERE LfNr = ?",
                                                         velu::db::Params().Add(lfnr));
        return rs.Get(feld);
    }
    // Sum of a currency column over the calculation's basic-data rows, as the fee engine stored it.
    velu::Currency Grunddaten(int64_t lfnr, const std::string& feld) {
        velu::db::Recordset rs =
            projekt_->OpenRecordset("SELECT Sum(" + feld + ") AS s FROM Grunddaten WHERE LfNrBeReList = ?",
                                    velu::db::Params().Add(lfnr));
        return velu::GetCY(rs, "s");
    }

    TestDir dir_;
    std::shared_ptr<velu::db::Database> projekt_;
    std::shared_ptr<velu::settings::SettingsStore> settings_;
    // Every box is recorded; none may wait for a click.
    velu::forms::MessageBoxScript boxen_;
};

// Waits for the first modal dialog of type T, runs fill on it and, should fill have left it open, rejects
// it so that the editor's exec() returns and the test fails instead of hanging. Polls, because the register
// lets events run before it opens an editor.
template <class T> class ModalDriver {
public:
    explicit ModalDriver(std::function<void(T&)> fill) : fill_(std::move(fill)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool Ran() const { return ran_; }
    bool LeftOpen() const { return leftOpen_; }

private:
    void tick() {
        auto* d = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!d) {
            if (++tries_ > 2000) timer_.stop();
            return;
        }
        timer_.stop();
        ran_ = true;
        fill_(*d);
        if (d->isVisible()) {
            leftOpen_ = true;
            d->done(QDialog::Rejected);
        }
    }
    std::function<void(T&)> fill_;
    QTimer timer_;
    int tries_ = 0;
    bool ran_ = false;
    bool leftOpen_ = false;
};

// What the user types into the basic-data form: eligible costs (own costs of the first cost line, in the
// currency shown), zone and rate, then OK on the form's tool band.
struct GrunddatEingabe {
    QString kosten;
    QString zone;
    QString satz;
};
inline void GrunddatAusfuellen(velu::fee::Grunddat& f, const GrunddatEingabe& e,
                               bool anzeigeIstEingabe = true) {
    auto* tabs = f.findChild<QTabWidget*>("SSTab1");
    auto* grid = f.findChild<velu::forms::BoundGridView*>("SSDBGrid1");
    ASSERT_TRUE(tabs && grid);
    tabs->setCurrentIndex(1);
    velu::forms::BoundGridModel* m = grid->BoundModel();
    const char* spalte = anzeigeIstEingabe ? "Eigenleistung" : "AlDispEigenleistung";
    ASSERT_TRUE(m->setData(m->index(0, m->ColumnOf(spalte)), e.kosten));
    ASSERT_TRUE(m->Commit());
    tabs->setCurrentIndex(0);
    f.findChild<QLineEdit*>("Text1_1")->setText(e.zone);
    f.findChild<QLineEdit*>("Text1_2")->setText(e.satz);
    ASSERT_TRUE(f.Bar().Click("Band1", "OK"));
}

// The site-supervision dialog's fields: rate, services rendered and lump sum (empty: left as offered).
struct Parag57Eingabe {
    QString kostenzeile; // a new cost line of own costs, empty for none
    QString satz;
    QString fertig;
    QString pausch;
};
inline void Parag57Ausfuellen(velu::fee::Parag57& d, const Parag57Eingabe& e) {
    if (!e.kostenzeile.isEmpty()) {
        d.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        velu::forms::BoundGridModel* m = d.KostenModell();
        ASSERT_TRUE(m);
        ASSERT_TRUE(
            m->setData(m->index(m->StoredRows(), m->ColumnOf("Eigenleistung")), e.kostenzeile, Qt::EditRole));
        d.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(0);
    }
    const QString* texte[] = {&e.satz, &e.fertig, nullptr, &e.pausch};
    for (int i = 0; i < 4; ++i)
        if (texte[i] && !texte[i]->isEmpty())
            d.findChild<QLineEdit*>(QString("XtraText1_%1").arg(i))->setText(*texte[i]);
}
