#pragma once

#include "Fixture.h"
#include "ui/MainSession.h"

namespace zel::test {

// A main-window session over a freshly written database, opened as the program opens it.
struct SessionFixture
{
    explicit SessionFixture(const data::DatabaseContent& content = smallContent()) : db(content)
    {
        session.setDataDirectory(db.dir.path() + QLatin1Char('/'));
        session.OpenDatabase();
    }
    DatabaseFixture db;
    ui::MainSession session;
};

} // namespace zel::test
