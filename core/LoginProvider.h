#pragma once
// The login asked for at start when the master database says that users or passwords are in use.
#include <QString>
#include <cstdint>

namespace velu::db {
class Database;
}

namespace velu {

class LoginProvider {
public:
    virtual ~LoginProvider() = default;
    // mitBenutzer, mitPasswort: the master database's switches (non-zero = in use). Returns true with the
    // user and rights mask when someone logged in; false ends the program.
    virtual bool Login(db::Database& stammDB, int mitBenutzer, int mitPasswort, QString& benutzer,
                       int32_t& rechte) = 0;
};

// A stand-in (tests, or a program without login): logs in as "SUPERVISOR" with the rights stored for that
// user, or refuses when built with annehmen = false.
class SupervisorLogin : public LoginProvider {
public:
    explicit SupervisorLogin(bool annehmen = true) : annehmen_(annehmen) {}
    bool Login(db::Database& stammDB, int mitBenutzer, int mitPasswort, QString& benutzer,
               int32_t& rechte) override;

private:
    bool annehmen_;
};

// The program's login: the dialog LogIn over the master database.
class DialogLogin : public LoginProvider {
public:
    bool Login(db::Database& stammDB, int mitBenutzer, int mitPasswort, QString& benutzer,
               int32_t& rechte) override;
};

} // namespace velu
