#pragma once
// A project database made by the program's own schema code, template files written from JSON text, and the
// texts of a laid-out report page by page.
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/report/Report.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

struct ReportFixture {
    TestDir dir;
    QString projekt = QString::fromStdString((dir / "Velupro32.mdb").string());
    std::unique_ptr<velu::db::Database> db;

    ReportFixture() {
        std::string err;
        db = velu::DatabaseSetup::CreateProjektDB(projekt.toStdString(), &err);
        EXPECT_TRUE(db) << err;
    }

    // One BeReList row; betrag in ten-thousandths.
    void Rechnung(int lfnr, const char* typ, int ursprung, int64_t betrag = 0, const QString& nummer = {}) {
        velu::db::Params p;
        p.Add(int64_t(lfnr));
        p.Add(typ ? velu::db::Value(std::string(typ)) : velu::db::Value());
        p.Add(int64_t(ursprung));
        p.Add(betrag);
        p.Add(nummer.toStdString());
        db->Execute(
            "INSERT INTO BeReList (LfNr, REType, Ursprung, Endbetrag, ReNummer) VALUES (?, ?, ?, ?, ?)", p);
    }
    void Grunddaten(int lfnr, int zuRechnung, int gruppe) {
        velu::db::Params p;
        p.Add(int64_t(lfnr));
        p.Add(int64_t(zuRechnung));
        p.Add(int64_t(gruppe));
        db->Execute("INSERT INTO Grunddaten (LfNr, LfNrBeReList, AnlageGruppe) VALUES (?, ?, ?)", p);
    }

    QString Vorlage(const QString& name, const QString& json) {
        const QString pfad = QString::fromStdString((dir / name.toStdString()).string());
        QFile f(pfad);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(json.toUtf8());
        return pfad;
    }

    std::unique_ptr<velu::report::Report> Oeffne(const QString& pfad, bool ort = true) {
        std::unique_ptr<velu::report::Report> r;
        QString fehler;
        EXPECT_EQ(velu::report::Report::Oeffne(pfad, r, &fehler), 0) << fehler.toStdString();
        if (r && ort && !r->Vorl().tabellen.empty())
            r->SetzeTabellenOrt(r->Vorl().tabellen[0].alias, projekt);
        return r;
    }
};

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Texts of each page, top to bottom, left to right.
inline std::vector<QStringList> Texte(const velu::report::DisplayList& dl) {
    std::vector<QStringList> out;
    for (const auto& s : dl.seiten) {
        std::vector<const velu::report::DisplayItem*> items;
        for (const auto& it : s.items)
            if (it.art == velu::report::DisplayItem::Art::Text) items.push_back(&it);
        std::stable_sort(items.begin(), items.end(), [](auto* a, auto* b) {
            return a->rect.top() != b->rect.top() ? a->rect.top() < b->rect.top()
                                                  : a->rect.left() < b->rect.left();
        });
        QStringList t;
        for (auto* it : items)
            t << it->text;
        out.push_back(t);
    }
    return out;
}

// A template of BeReList rows: one detail line per row with number, type and amount.
inline QString ListenVorlage(const QString& auswahl = {}, double detailHoehe = 5) {
    return QString(R"({
  "tables": [{"alias": "BeReList", "table": "BeReList"}],
  "selection": "@AUSWAHL@",
  "formulas": [{"name": "Titel", "text": "'Liste'"}],
  "sort": [{"value": "{BeReList.LfNr}"}],
  "bands": {
    "pageHeader": {"height": 10, "items": [{"type": "formula", "name": "Titel", "x": 0, "y": 0, "width": 60}]},
    "details": {"height": @HOEHE@, "items": [
      {"type": "field", "value": "{BeReList.LfNr}", "x": 0, "y": 0, "width": 20},
      {"type": "field", "value": "{BeReList.REType}", "x": 25, "y": 0, "width": 10},
      {"type": "field", "value": "{BeReList.Endbetrag}", "format": "amount", "x": 100, "y": 0, "width": 40, "align": "right"}]},
    "reportFooter": {"height": 8, "items": [
      {"type": "text", "text": "Summe", "x": 0, "y": 0, "width": 30},
      {"type": "sum", "value": "{BeReList.Endbetrag}", "format": "amount", "x": 100, "y": 0, "width": 40, "align": "right"},
      {"type": "count", "x": 150, "y": 0, "width": 20}]},
    "pageFooter": {"height": 10, "items": [{"type": "pageNumber", "text": "Seite %1 von %2", "x": 0, "y": 2, "width": 60}]}
  }
})")
        .replace("@AUSWAHL@", auswahl)
        .replace("@HOEHE@", QString::number(detailHoehe));
}
