#include "platform/forms/BoundGridModel.h"
#include "GridEnter.h"
#include "TestApp.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/forms/BoundGridView.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace velu::forms {
namespace {

void App() {
    testApp();
}

class BoundGrid : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        db = db::Database::Create(std::filesystem::path(dir.path().toStdString()) / "t.mdb");
        ASSERT_TRUE(db);
        db->Execute(
            "CREATE TABLE Kosten (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, LfNrBeReList INTEGER NOT NULL, "
            "Kostenstelle TEXT UNIQUE, Betrag REAL, Anzahl INTEGER, Geheim TEXT);"
            "INSERT INTO Kosten (LfNrBeReList, Kostenstelle, Betrag, Anzahl, Geheim) "
            "VALUES (7, '100', 1.5, 1, 'x'), (7, '200', 2.5, 2, 'y');");
        std::vector<BoundColumn> cols(4);
        const std::pair<const char*, BoundColumn::Art> felder[] = {{"Kostenstelle", BoundColumn::Art::Text},
                                                                   {"Betrag", BoundColumn::Art::Zahl},
                                                                   {"Anzahl", BoundColumn::Art::Ganzzahl},
                                                                   {"LfNr", BoundColumn::Art::Ganzzahl}};
        for (size_t i = 0; i < cols.size(); ++i) {
            cols[i].field = felder[i].first;
            cols[i].caption = felder[i].first;
            cols[i].art = felder[i].second;
        }
        cols[0].maxLength = 5;
        cols[1].maxLength = 5;
        cols[3].readOnly = true;
        cols[3].visible = false;
        model =
            std::make_unique<BoundGridModel>(db->OpenRecordset("SELECT * FROM Kosten ORDER BY LfNr"), cols);
        BoundGridModel::Callbacks cb;
        cb.schluesselFuellen = [this](db::Recordset& rs, bool neu) {
            ++gefuellt;
            if (neu) rs.Set("LfNrBeReList", int64_t{7});
        };
        cb.melden = [this](const QString& t) { meldungen.push_back(t); };
        cb.fragen = [this](const QString& t) {
            fragen.push_back(t);
            return antwort;
        };
        cb.speicherFehler = [](const db::DbError&) { return QStringLiteral("Kostenstelle schon erfasst"); };
        model->SetCallbacks(cb);
    }

    QVariant Zelle(int r, int c) { return model->data(model->index(r, c)); }
    bool Tippen(int r, int c, const QString& text) { return model->setData(model->index(r, c), text); }
    std::string Gespeichert(const char* sql) {
        auto rs = db->OpenRecordset(sql);
        if (rs.Empty()) return "<keine>";
        const db::Value v = rs.Get(rs.FieldNames().front());
        if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
        if (const auto* d = std::get_if<double>(&v)) return QString::number(*d).toStdString();
        if (const auto* t = std::get_if<std::string>(&v)) return *t;
        return "<null>";
    }

    QTemporaryDir dir;
    std::unique_ptr<db::Database> db;
    std::unique_ptr<BoundGridModel> model;
    std::vector<QString> meldungen, fragen;
    bool antwort = false;
    int gefuellt = 0;
};

TEST_F(BoundGrid, ColumnsAndNewRowLine) {
    EXPECT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_TRUE(model->IsNewRowLine(2));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Betrag");
    EXPECT_EQ(Zelle(0, 1).toString(), "1,5");
    EXPECT_EQ(model->ColumnOf("geheim"), -1); // a field without a column is never shown
    EXPECT_FALSE(model->flags(model->index(0, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(Tippen(0, 3, "99"));
    model->SetNeueZeile(false);
    EXPECT_EQ(model->rowCount(), 2);
}

// Amounts line up on the right; text and whole numbers (often shown as words) keep the view's default.
TEST_F(BoundGrid, AmountsAlignRight) {
    const auto ausrichtung = [this](int c) { return model->data(model->index(0, c), Qt::TextAlignmentRole); };
    EXPECT_EQ(ausrichtung(1).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_FALSE(ausrichtung(0).isValid());
    EXPECT_FALSE(ausrichtung(2).isValid());
}

// Flags read Ja/Nein and store True (-1) or False (0); other input is refused and stores nothing.
TEST_F(BoundGrid, FlagColumn) {
    const BoundColumn flag = FlagSpalte("Anzahl", "Flag");
    struct Fall {
        db::Value gespeichert;
        QString angezeigt;
    } anzeige[] = {{db::Value(int64_t{-1}), "Ja"},
                   {db::Value(int64_t{1}), "Ja"},
                   {db::Value(int64_t{0}), "Nein"},
                   {db::Value(), ""}};
    for (const auto& f : anzeige)
        EXPECT_EQ(flag.anzeigen(f.gespeichert).toString(), f.angezeigt);
    struct Eingabe {
        QString text;
        std::optional<int64_t> wert;
    } eingaben[] = {{"Ja", -1}, {" ja ", -1}, {"-1", -1}, {"1", -1},         {"Nein", 0},
                    {"0", 0},   {"", 0},      {"2", {}},  {"vielleicht", {}}};
    for (const auto& e : eingaben) {
        SCOPED_TRACE(e.text.toStdString());
        const auto v = flag.lesen(e.text);
        ASSERT_EQ(v.has_value(), e.wert.has_value());
        if (v) EXPECT_EQ(std::get<int64_t>(*v), *e.wert);
    }
}

TEST_F(BoundGrid, NumericInput) {
    struct Fall {
        QString text;
        bool ok;
        QString zeigt;
    } faelle[] = {
        {"1.234,5", true, "1.234,5"}, {"1234.5", true, "1.234,5"}, {"-3", true, "-3"},    {"", true, ""},
        {"abc", false, "1,5"},        {"1,2,3", false, "1,5"},     {"12a", false, "1,5"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.text.toStdString());
        meldungen.clear();
        EXPECT_EQ(Tippen(0, 1, f.text), f.ok);
        EXPECT_EQ(Zelle(0, 1).toString(), f.zeigt);
        if (f.ok)
            EXPECT_TRUE(meldungen.empty());
        else
            EXPECT_EQ(meldungen, std::vector<QString>{"Die Eingabe muss nummerisch sein"});
        model->Discard();
    }
    EXPECT_FALSE(Tippen(0, 2, "2,5")); // whole numbers only
    EXPECT_TRUE(Tippen(0, 2, "1.000"));
    EXPECT_EQ(Zelle(0, 2).toString(), "1000");
}

TEST_F(BoundGrid, EditsArePendingUntilCommit) {
    // A text longer than its column is refused with the limit named, not cut.
    EXPECT_FALSE(Tippen(0, 0, "123456789"));
    EXPECT_EQ(meldungen,
              std::vector<QString>{"Kostenstelle:\nDer Text ist 9 Zeichen lang; höchstens 5 Zeichen "
                                   "sind möglich."});
    EXPECT_EQ(Zelle(0, 0).toString(), "100");
    ASSERT_TRUE(Tippen(0, 0, "12345"));
    EXPECT_EQ(Gespeichert("SELECT Kostenstelle FROM Kosten WHERE LfNr = 1"), "100");
    // Editing another row writes the pending one first.
    ASSERT_TRUE(Tippen(1, 1, "9"));
    EXPECT_EQ(Gespeichert("SELECT Kostenstelle FROM Kosten WHERE LfNr = 1"), "12345");
    EXPECT_EQ(model->PendingRow(), 1);
    EXPECT_TRUE(model->Commit());
    EXPECT_EQ(Gespeichert("SELECT Betrag FROM Kosten WHERE LfNr = 2"), "9");
    EXPECT_EQ(Gespeichert("SELECT Geheim FROM Kosten WHERE LfNr = 2"), "y");
}

TEST_F(BoundGrid, NewRowGetsItsKeysAndANewLineFollows) {
    ASSERT_TRUE(Tippen(2, 0, "300"));
    ASSERT_TRUE(Tippen(2, 1, "3,25"));
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_TRUE(model->Commit());
    EXPECT_EQ(gefuellt, 1);
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_FALSE(model->IsNewRowLine(2));
    EXPECT_TRUE(model->IsNewRowLine(3));
    EXPECT_EQ(Zelle(2, 0).toString(), "300");
    EXPECT_EQ(Gespeichert("SELECT LfNrBeReList || '/' || Betrag FROM Kosten WHERE Kostenstelle = '300'"),
              "7/3.25");
}

TEST_F(BoundGrid, FailedStoreShowsCallersMessageAndKeepsOldData) {
    ASSERT_TRUE(Tippen(1, 0, "100")); // duplicate of row 0
    EXPECT_FALSE(model->Commit());
    EXPECT_EQ(meldungen, std::vector<QString>{"Kostenstelle schon erfasst"});
    EXPECT_EQ(Zelle(1, 0).toString(), "200");
    EXPECT_EQ(Gespeichert("SELECT Kostenstelle FROM Kosten WHERE LfNr = 2"), "200");

    meldungen.clear();
    ASSERT_TRUE(Tippen(2, 0, "100")); // a new row
    EXPECT_FALSE(model->Commit());
    EXPECT_EQ(meldungen.size(), 1u);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "2");
}

TEST_F(BoundGrid, RowCheckRefuses) {
    auto cb = BoundGridModel::Callbacks();
    cb.melden = [this](const QString& t) { meldungen.push_back(t); };
    cb.zeilePruefen = [](int) { return std::optional<QString>("nein"); };
    model->SetCallbacks(cb);
    ASSERT_TRUE(Tippen(0, 0, "555"));
    EXPECT_FALSE(model->Commit());
    EXPECT_EQ(meldungen, std::vector<QString>{"nein"});
    EXPECT_EQ(Gespeichert("SELECT Kostenstelle FROM Kosten WHERE LfNr = 1"), "100");
}

TEST_F(BoundGrid, DeleteAsksWithNoAsAnswer) {
    antwort = false;
    EXPECT_FALSE(model->DeleteRow(0));
    EXPECT_EQ(fragen, std::vector<QString>{"Soll diese Zeile gelöscht werden"});
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "2");
    antwort = true;
    EXPECT_TRUE(model->DeleteRow(0));
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "1");
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(Zelle(0, 0).toString(), "200");
    model->SetLoeschfrage(false);
    fragen.clear();
    EXPECT_TRUE(model->DeleteRow(0));
    EXPECT_TRUE(fragen.empty());
    EXPECT_FALSE(model->DeleteRow(0)); // only the new-row line is left
}

TEST_F(BoundGrid, WithoutCallbacksTheMessageBoxHelperAsksWithNoAsDefault) {
    model->SetCallbacks({});
    MessageBoxScript boxen;
    EXPECT_FALSE(model->DeleteRow(0)); // no answer scripted: the default button
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text, "Soll diese Zeile gelöscht werden");
    EXPECT_EQ(boxen.Shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxen.Shown()[0].defaultButton, 1);
    boxen.Answer(MsgResult::Yes);
    EXPECT_TRUE(model->DeleteRow(0));
    EXPECT_FALSE(Tippen(0, 1, "x"));
    EXPECT_EQ(boxen.LastText(), "Die Eingabe muss nummerisch sein");
    EXPECT_EQ(boxen.Shown().back().icon, MsgIcon::Critical);
}

TEST_F(BoundGrid, ViewCommitsOnRowChangeAndReportsTheRowLeft) {
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();
    EXPECT_TRUE(view.isColumnHidden(3));
    std::vector<int> verlassen;
    QObject::connect(&view, &BoundGridView::zeileVerlassen, [&](int r) {
        verlassen.push_back(r);
        EXPECT_FALSE(model->HasPending()); // written before the signal
    });
    view.SetCurrentRow(0);
    ASSERT_TRUE(Tippen(0, 1, "4"));
    view.SetCurrentRow(1);
    EXPECT_EQ(verlassen, std::vector<int>{0});
    EXPECT_EQ(Gespeichert("SELECT Betrag FROM Kosten WHERE LfNr = 1"), "4");

    // An open cell editor is taken over by Commit().
    view.setCurrentIndex(model->index(1, 0));
    view.edit(model->index(1, 0));
    ASSERT_TRUE(view.IsEditing());
    auto* editor = view.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    EXPECT_GT(editor->maxLength(), 5); // the model refuses a longer text, the editor does not cut it
    editor->setText("777");
    EXPECT_TRUE(view.Commit());
    EXPECT_FALSE(view.IsEditing());
    EXPECT_EQ(Gespeichert("SELECT Kostenstelle FROM Kosten WHERE LfNr = 2"), "777");

    // Delete key asks through the model.
    antwort = true;
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&view, &del);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "1");
}

// A key pressed in a shown view over the model.
void Taste(BoundGridView& view, Qt::Key key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&view, &e);
}

TEST_F(BoundGrid, DownFromTheNewRowLineStoresItAndOpensAFreshOne) {
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();

    // Nothing typed: Down stays on the new-row line and stores nothing.
    view.SetCurrentRow(2);
    Taste(view, Qt::Key_Down);
    EXPECT_EQ(view.CurrentRow(), 2);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "2");

    // Typed in an open editor: stored, and the cursor stands on the fresh new-row line.
    view.setCurrentIndex(model->index(2, 0));
    view.edit(model->index(2, 0));
    auto* editor = view.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText("300");
    Taste(view, Qt::Key_Down);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "3");
    EXPECT_EQ(view.CurrentRow(), 3);
    EXPECT_TRUE(model->IsNewRowLine(3));

    // A refused row keeps the cursor where it was.
    ASSERT_TRUE(Tippen(3, 0, "300"));
    Taste(view, Qt::Key_Down);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "3");
    EXPECT_EQ(view.CurrentRow(), 3);
    EXPECT_EQ(meldungen.size(), 1u);
}

TEST_F(BoundGrid, TabFromTheLastColumnOfTheNewRowLineStoresItAndGoesOn) {
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();

    // Column 3 is hidden: column 2 is the last one shown.
    view.setCurrentIndex(model->index(2, 2));
    ASSERT_TRUE(Tippen(2, 0, "400"));
    Taste(view, Qt::Key_Tab);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "3");
    EXPECT_EQ(view.currentIndex(), model->index(3, 0));

    // Nothing typed: Tab stays on the last column and stores nothing.
    view.setCurrentIndex(model->index(3, 2));
    Taste(view, Qt::Key_Tab);
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "3");
    EXPECT_EQ(view.currentIndex(), model->index(3, 2));

    // Elsewhere Tab moves as ever.
    view.setCurrentIndex(model->index(0, 0));
    Taste(view, Qt::Key_Tab);
    EXPECT_EQ(view.currentIndex(), model->index(0, 1));
}

TEST_F(BoundGrid, TheNewRowLineIsStoredOnlyWhenSomethingWasTypedIntoIt) {
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();
    struct Fall {
        const char* name;
        std::vector<std::pair<int, QString>> getippt; // column, text, in this order
        const char* zeilen;                           // stored rows after leaving the line
    } faelle[] = {
        {"tabbed through", {{0, ""}, {1, ""}, {2, ""}}, "2"},
        {"blanks", {{0, "   "}, {1, " "}}, "2"},
        {"typed and cleared", {{0, "9"}, {0, ""}}, "2"},
        {"amount cleared", {{1, "5"}, {1, ""}}, "2"},
        {"an amount", {{0, ""}, {1, "5"}}, "3"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const int neu = model->StoredRows();
        for (const auto& [spalte, text] : f.getippt) {
            // Through the cell's editor, as Tab from cell to cell does.
            view.setCurrentIndex(model->index(neu, spalte));
            view.edit(model->index(neu, spalte));
            QLineEdit* editor = eingabe::ZellEditor(view);
            ASSERT_TRUE(editor);
            editor->setText(text);
            view.CommitEditor();
        }
        view.setCurrentIndex(model->index(0, 0)); // a click on another row
        EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), f.zeilen);
        EXPECT_FALSE(model->HasPending());
        EXPECT_TRUE(model->IsNewRowLine(model->rowCount() - 1));
    }
    EXPECT_TRUE(meldungen.empty());
    EXPECT_EQ(Gespeichert("SELECT Betrag FROM Kosten WHERE LfNr = 3"), "5");
}

TEST_F(BoundGrid, EnterAfterARefusedCellKeepsTheOldValueAndTheCursor) {
    // The refusal as a real message box, with its own event loop inside the editor's commit.
    BoundGridModel::Callbacks cb;
    model->SetCallbacks(cb);
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();
    struct Fall {
        int row, column;
        const char* text;
        std::vector<QString> meldungen;
        QString danach;
    } faelle[] = {
        {0, 1, "1,5x", {BoundGridModel::NumerischMeldung}, "1,5"},
        {1, 2, "zwei", {BoundGridModel::NumerischMeldung}, "2"},
        {2, 1, "abc", {BoundGridModel::NumerischMeldung}, ""},
        {0, 1, "4,25", {}, "4,25"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        const QModelIndex zelle = model->index(f.row, f.column);
        EXPECT_EQ(eingabe::MitEnterEingeben(view, zelle, f.text), f.meldungen);
        EXPECT_EQ(model->data(zelle).toString(), f.danach);
        EXPECT_EQ(view.currentIndex(), zelle);
        EXPECT_EQ(eingabe::ZellEditor(view), nullptr);
        // The next key typed goes to the grid.
        EXPECT_EQ(view.window()->focusWidget(), &view);
        ASSERT_TRUE(view.Commit());
    }
    EXPECT_EQ(Gespeichert("SELECT COUNT(*) FROM Kosten"), "2");
    EXPECT_EQ(Gespeichert("SELECT Betrag FROM Kosten WHERE LfNr = 1"), "4.25");
}

TEST_F(BoundGrid, NumberBeyondTheColumnLengthIsNotCutUnnoticed) {
    BoundGridView view;
    view.SetBoundModel(model.get());
    view.show();
    struct Fall {
        const char* name;
        const char* vorher; // in the editor, all of it selected for "ersetzt"
        bool markiert;
        QKeySequence::StandardKey einfuegen; // or a typed character when UnknownKey
        const char* ablage;
        bool hinweis;
    } faelle[] = {
        {"typed past the limit", "12345", false, QKeySequence::UnknownKey, "", true},
        {"typed up to the limit", "1234", false, QKeySequence::UnknownKey, "", false},
        {"typed over a selection", "12345", true, QKeySequence::UnknownKey, "", false},
        {"pasted too long", "1", false, QKeySequence::Paste, "123456789", true},
        {"pasted over a selection, fits", "123", true, QKeySequence::Paste, "98765", false},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        QToolTip::showText(view.mapToGlobal(QPoint(0, 0)), "vorher", &view);
        view.setCurrentIndex(model->index(0, 1));
        view.edit(model->index(0, 1));
        QLineEdit* editor = eingabe::ZellEditor(view);
        ASSERT_TRUE(editor);
        editor->setText(f.vorher);
        if (f.markiert) editor->selectAll();
        QGuiApplication::clipboard()->setText(f.ablage);
        if (f.einfuegen == QKeySequence::Paste) {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
            QApplication::sendEvent(editor, &e);
        } else {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9");
            QApplication::sendEvent(editor, &e);
        }
        EXPECT_LE(editor->text().size(), 5);
        EXPECT_EQ(QToolTip::text() == TextLimitHintText(5), f.hinweis) << QToolTip::text().toStdString();
        view.closePersistentEditor(model->index(0, 1));
        view.CommitEditor();
        model->Discard();
    }
}

} // namespace
} // namespace velu::forms
