// A line edit takes what is pasted, typed or dropped into it as one line: a line break or tab becomes a
// blank, other control characters go; text the program sets stays as it is.
#include "platform/forms/EinzeiligeFelder.h"
#include "GridEnter.h"
#include "TestApp.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QIntValidator>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using velu::eingabe::Taste;
using velu::eingabe::Tasten;

struct Maske {
    QWidget w;
    QLineEdit* feld = new QLineEdit(&w);
    Maske() {
        velu::forms::EinzeiligeFelderEinrichten();
        auto* l = new QVBoxLayout(&w);
        l->addWidget(feld);
        w.show();
        feld->setFocus();
    }
};

void Einfuegen(QWidget& w, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    Taste(w, Qt::Key_V, Qt::ControlModifier);
}

TEST(EinzeiligeFelder, APastedLineBreakOrTabBecomesABlankAndOtherControlCharactersGo) {
    testApp();
    struct Fall {
        const char* name;
        QString vorher;
        int cursor;
        QString eingefuegt;
        int laenge; // maxLength, 0 for the default
        QString danach;
        int cursorDanach;
    } faelle[] = {
        {"line feed", "", 0, "Kita Nord\nBauteil B", 0, "Kita Nord Bauteil B", 19},
        {"CR LF is one blank", "", 0, "Kita Nord\r\nBauteil B", 0, "Kita Nord Bauteil B", 19},
        {"lone CR", "", 0, "Kita Nord\rBauteil B", 0, "Kita Nord Bauteil B", 19},
        {"tab", "", 0, "Nord\tSüd", 0, "Nord Süd", 8},
        {"bell and escape go", "", 0, QString::fromUtf8("Kita\x07 Nord\x1b"), 0, "Kita Nord", 9},
        {"trailing line break of a copied cell", "", 0, "4711\n", 0, "4711 ", 5},
        {"into the middle, the cursor behind the paste", "Kita Nord", 4, "\r\nBauteil B\r\n", 0,
         "Kita Bauteil B  Nord", 15},
        {"cut to the field's length before", "", 0, "Kita Nord\nBauteil B", 12, "Kita Nord Ba", 12},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        Maske m;
        if (f.laenge) m.feld->setMaxLength(f.laenge);
        m.feld->setText(f.vorher);
        m.feld->setCursorPosition(f.cursor);
        Einfuegen(m.w, f.eingefuegt);
        EXPECT_EQ(m.feld->text(), f.danach);
        EXPECT_EQ(m.feld->cursorPosition(), f.cursorDanach);
    }
}

TEST(EinzeiligeFelder, TypedTextAndTextTheProgramSetsStayAsTheyAre) {
    testApp();
    Maske m;
    // A name stored with a line break before this program kept them out is shown whole, and showing it is
    // no edit.
    m.feld->setText("Kita Nord\nBauteil B");
    EXPECT_EQ(m.feld->text(), "Kita Nord\nBauteil B");
    EXPECT_FALSE(m.feld->isModified());
    // Typing on behind it is an edit: the whole field becomes one line.
    m.feld->end(false);
    Tasten(m.w, " Ost");
    EXPECT_EQ(m.feld->text(), "Kita Nord Bauteil B Ost");
    // Enter and Tab typed into a field are no characters of it.
    m.feld->clear();
    Tasten(m.w, "Nord");
    Taste(m.w, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(m.feld->text(), "Nord");
    // A field with a validator of its own keeps it.
    QLineEdit zahl(&m.w);
    auto* nurZiffern = new QIntValidator(0, 99, &zahl);
    zahl.setValidator(nurZiffern);
    zahl.show();
    EXPECT_EQ(zahl.validator(), nurZiffern);
}

} // namespace
