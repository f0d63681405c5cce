#pragma once
// The register's program fixture with what printing needs besides: a project environment over the test
// folder and the delivered report templates as the report folder.
#include "RechnungFixture.h"
#include "register/ProgrammFixture.h"

class DruckProgrammFixture : public ProgrammFixture {
protected:
    void SetUp() override {
        ProgrammFixture::SetUp();
        umgebung_->ordner = QString::fromStdString(dir_.Path().string());
        velu::App().SetUmgebung(umgebung_);
        velu::App().SetPfade(QString::fromUtf8(VELU_BINARY_DIR) + "/data/reports/HOAI", {}, {});
    }
    void TearDown() override {
        velu::App().SetUmgebung(nullptr);
        velu::App().SetPfade({}, {}, {});
        ProgrammFixture::TearDown();
    }

    std::shared_ptr<TestUmgebung> umgebung_ = std::make_shared<TestUmgebung>();
};
