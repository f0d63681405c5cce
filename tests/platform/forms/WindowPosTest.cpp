#include "TestApp.h"
#include "platform/forms/WindowPos.h"
#include "platform/forms/FormTag.h"
#include "platform/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

#include <memory>

using velu::forms::LoadWindowPos;
using velu::forms::SaveWindowPos;
using velu::settings::SettingsStore;

namespace {

QString Q(const char* s) {
    return QString::fromUtf8(s);
}

void ensureApp() {
    testApp();
}

class WindowPosTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<SettingsStore>(dir.filePath(Q("settings.ini")));
    }

    std::unique_ptr<QDialog> dialog(const char* name, const char* tag = "") {
        auto d = std::make_unique<QDialog>();
        d->setObjectName(Q(name));
        velu::forms::SetFormTag(*d, Q(tag));
        return d;
    }

    void store4(const QString& section, const char* left, const char* top, const char* height,
                const char* width) {
        store->SaveSetting(section, Q("Left"), Q(left));
        store->SaveSetting(section, Q("Top"), Q(top));
        store->SaveSetting(section, Q("Height"), Q(height));
        store->SaveSetting(section, Q("Width"), Q(width));
    }

    QString get(const QString& section, const char* key) { return store->GetSetting(section, Q(key)); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
};

} // namespace

TEST_F(WindowPosTest, SectionIsNamePlusTag) {
    EXPECT_EQ(velu::forms::WindowPosSection(*dialog("Grunddat")), Q("WindowPos Grunddat"));
    EXPECT_EQ(velu::forms::WindowPosSection(*dialog("PrintFormKO", "T2")), Q("WindowPos PrintFormKOT2"));
    QDialog unnamed;
    EXPECT_EQ(velu::forms::WindowPosSection(unnamed), Q("WindowPos QDialog"));

    QObject o;
    EXPECT_EQ(velu::forms::FormTag(o), QString());
    velu::forms::SetFormTag(o, Q("X"));
    EXPECT_EQ(velu::forms::FormTag(o), Q("X"));
}

TEST_F(WindowPosTest, SavedPositionRestoresExactly) {
    auto d = dialog("PrintFormKO", "T2");
    d->move(50, 60);
    d->resize(300, 200);
    d->show();
    ASSERT_TRUE(SaveWindowPos(*d, *store));
    const QString section = Q("WindowPos PrintFormKOT2");
    EXPECT_EQ(get(section, "Left"), Q("50"));
    EXPECT_EQ(get(section, "Top"), Q("60"));
    EXPECT_EQ(get(section, "Height"), Q("200"));
    EXPECT_EQ(get(section, "Width"), Q("300"));

    auto again = dialog("PrintFormKO", "T2");
    ASSERT_TRUE(LoadWindowPos(*again, *store));
    EXPECT_EQ(again->pos(), QPoint(50, 60));
    EXPECT_EQ(again->size(), QSize(300, 200));

    // Another tag is another section.
    auto other = dialog("PrintFormKO");
    EXPECT_FALSE(LoadWindowPos(*other, *store));
}

TEST_F(WindowPosTest, AbnormalWindowsDoNotOverwrite) {
    const QString section = Q("WindowPos Grunddat");
    store4(section, "10", "20", "100", "150");

    auto maximised = dialog("Grunddat");
    maximised->showMaximized();
    EXPECT_FALSE(SaveWindowPos(*maximised, *store));

    auto minimised = dialog("Grunddat");
    minimised->showMinimized();
    EXPECT_FALSE(SaveWindowPos(*minimised, *store));

    auto huge = dialog("Grunddat");
    huge->move(0, 0);
    huge->resize(100000, 100);
    EXPECT_FALSE(SaveWindowPos(*huge, *store));

    auto negative = dialog("Grunddat");
    negative->move(-5, 10);
    negative->resize(100, 100);
    EXPECT_FALSE(SaveWindowPos(*negative, *store));

    EXPECT_EQ(get(section, "Left"), Q("10"));
    EXPECT_EQ(get(section, "Top"), Q("20"));
    EXPECT_EQ(get(section, "Height"), Q("100"));
    EXPECT_EQ(get(section, "Width"), Q("150"));
}

TEST_F(WindowPosTest, OffScreenOrBadSizeNotRestored) {
    struct Case {
        const char *left, *top, *height, *width;
    } cases[] = {
        {"100000", "10", "100", "100"}, {"-500", "10", "100", "100"}, {"10", "100000", "100", "100"},
        {"10", "10", "0", "100"},       {"10", "10", "100", "-1"},
    };
    const QString section = Q("WindowPos Grunddat");
    for (const auto& c : cases) {
        store4(section, c.left, c.top, c.height, c.width);
        auto d = dialog("Grunddat");
        d->move(30, 40);
        d->resize(200, 150);
        EXPECT_FALSE(LoadWindowPos(*d, *store)) << c.left << " " << c.top;
        EXPECT_EQ(d->pos(), QPoint(30, 40));
        EXPECT_EQ(d->size(), QSize(200, 150));
    }
}

TEST_F(WindowPosTest, UnreadableValueKeepsCurrentOne) {
    const QString section = Q("WindowPos Grunddat");
    store4(section, "links", "40,0", "16,5", "");
    auto d = dialog("Grunddat");
    d->move(30, 20);
    d->resize(200, 150);
    ASSERT_TRUE(LoadWindowPos(*d, *store));
    EXPECT_EQ(d->pos(), QPoint(30, 40));
    EXPECT_EQ(d->size(), QSize(200, 17)); // 16.5 rounded
}

TEST_F(WindowPosTest, NothingStoredLeavesFormUnplaced) {
    auto d = dialog("Grunddat");
    EXPECT_FALSE(LoadWindowPos(*d, *store));
    // Still free to centre itself over its owner when shown.
    EXPECT_FALSE(d->testAttribute(Qt::WA_Moved));
}
