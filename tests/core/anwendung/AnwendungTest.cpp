// The barrier of the application object: an exception that escapes an event handler is shown and the
// program goes on.
#include "core/Anwendung.h"
#include "platform/db/DbError.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace velu {
namespace {

Anwendung& App() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static Anwendung* app = new Anwendung(argc, argv); // never deleted, as in TestApp.h
    return *app;
}

// A form with a tool band; the tool "FEHLER" throws what the test asks for, "GUT" counts.
struct Form {
    QWidget w;
    forms::ToolBand* band = new forms::ToolBand(&w);
    std::function<void()> werfen;
    int gut = 0;

    Form() {
        band->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
        band->AddTools({{"Band1", "FEHLER", "Fehler"}, {"Band1", "GUT", "Gut"}});
        band->SetHandler([this](const QString& key) {
            if (key == "FEHLER") werfen();
            if (key == "GUT") ++gut;
        });
        auto* l = new QVBoxLayout(&w);
        l->setMenuBar(band->ToolBar("Band1"));
        w.show();
    }
    // A click on the tool's button as the user makes it: through the application's event dispatch.
    void Klick(const QString& key) {
        QToolBar* bar = band->ToolBar("Band1");
        auto* knopf = qobject_cast<QToolButton*>(bar->widgetForAction(w.findChild<QAction*>("Band1." + key)));
        ASSERT_TRUE(knopf);
        const QPointF p = knopf->rect().center();
        QMouseEvent druck(QEvent::MouseButtonPress, p, knopf->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent los(QEvent::MouseButtonRelease, p, knopf->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
        QApplication::sendEvent(knopf, &druck);
        QApplication::sendEvent(knopf, &los);
    }
};

TEST(Fehlerbarriere, ExceptionFromAToolHandlerIsShownAndTheProgramGoesOn) {
    App();
    struct Fall {
        const char* was;
        std::function<void()> werfen;
        QString text;
    } faelle[] = {
        {"runtime error", [] { throw std::runtime_error("Die Datei fehlt"); },
         "Es ist ein Fehler aufgetreten: Die Datei fehlt"},
        {"database error", [] { throw db::DbError("no such table: Zugriff"); },
         "Es ist ein Fehler aufgetreten: no such table: Zugriff"},
        {"no std::exception", [] { throw 42; }, "Es ist ein Fehler aufgetreten: unbekannte Ursache"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.was);
        Form form;
        form.werfen = f.werfen;
        forms::MessageBoxScript boxen;
        form.Klick("FEHLER");
        ASSERT_EQ(boxen.Shown().size(), 1u);
        EXPECT_EQ(boxen.LastText(), f.text);
        EXPECT_EQ(boxen.Shown()[0].icon, forms::MsgIcon::Critical);
        // The form still works.
        form.Klick("GUT");
        EXPECT_EQ(form.gut, 1);
        EXPECT_TRUE(form.w.isVisible());
        EXPECT_EQ(boxen.Shown().size(), 1u);
    }
}

TEST(Fehlerbarriere, ExceptionFromAQueuedCallIsShown) {
    App();
    forms::MessageBoxScript boxen;
    bool danach = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Zeitgeber"); });
    QTimer::singleShot(0, [&] { danach = true; });
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.LastText(), "Es ist ein Fehler aufgetreten: Zeitgeber");
    EXPECT_TRUE(danach);
}

// The program's application object keeps line breaks out of every line edit, one made after it too.
TEST(EinzeiligeFelder, TheProgramsApplicationKeepsPastedLineBreaksOutOfLineEdits) {
    App();
    QWidget w;
    auto* feld = new QLineEdit(&w);
    new QVBoxLayout(&w);
    w.layout()->addWidget(feld);
    w.show();
    feld->setFocus();
    QGuiApplication::clipboard()->setText("Kita Nord\nBauteil B");
    QKeyEvent v(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(feld, &v);
    EXPECT_EQ(feld->text(), "Kita Nord Bauteil B");
}

} // namespace
} // namespace velu
