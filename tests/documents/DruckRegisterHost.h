#pragma once
// The register's host for print tests: PRINTRE goes through the program's print route.
#include "core/AppState.h"
#include "documents/CRModul.h"
#include "documents/RechnungDruckAufruf.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammEditor.h"

namespace druckhost {

using namespace velu;
using namespace velu::reg;

struct TestDruck : DruckAufruf {
    CRModul cr;
    void Bericht(int, const QString&, int64_t, const QString&, int64_t) override {}
    void Rechnung(int art, const QString& datum, int e, int d, int64_t lfnr) override {
        documents::CallREPRINT(cr, art, datum, e, d, lfnr);
    }
    void Zusammenstellung(const std::vector<int64_t>& l, const QString& datum, int e, int d,
                          int64_t lfnr) override {
        documents::CallReZusammenstellung(cr, l, datum, e, d, lfnr);
    }
};

struct DruckHost : RegisterHost {
    ProgrammEditor editor{nullptr};
    TestDruck druck;
    db::Database* ProjektDB() override { return App().ProjektDB(); }
    QString ProjektText() override { return "2026-17 Kita Sonnenhof"; }
    uint32_t AktRechte() override { return 8191; }
    BerechnungEditor& Editor() override { return editor; }
    Currency MwStSatz() override { return Currency::FromUnits(19); }
    DruckAufruf& Drucken() override { return druck; }
};

} // namespace druckhost
