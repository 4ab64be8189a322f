#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// The sqlite3 command-line shell: the independent reader and writer of our files.
inline QString SqliteShellPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
}

// Runs script (bytes as they are) against file; answers the shell's standard output.
inline QByteArray RunSqliteShell(const QString& file, const QByteArray& script, QByteArray* errors = nullptr)
{
    QProcess shell;
    shell.start(SqliteShellPath(), {QStringLiteral("-batch"), file});
    shell.waitForStarted();
    shell.write(script);
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    if (errors)
        *errors = shell.readAllStandardError();
    return shell.readAllStandardOutput();
}

#define REQUIRE_SQLITE_SHELL()                                                                                     \
    do {                                                                                                           \
        if (SqliteShellPath().isEmpty())                                                                           \
            QSKIP("the sqlite3 shell is not installed");                                                           \
    } while (false)

// A current phone book's tables, as the sqlite3 shell creates them.
inline QByteArray PhoneBookSchemaSql()
{
    return "CREATE TABLE MainContacts ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] VARCHAR (40), "
           "[LAST_NAME] VARCHAR (40), [NICK_NAME] VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] TIMESTAMP, "
           "[EMAIL] VARCHAR (50), [FAX] VARCHAR (20), NUMBER VARCHAR (20), CONTACT_TYPE VARCHAR (20));\n"
           "CREATE TABLE QPB_DETAILS ([VERSION] INTEGER); INSERT INTO QPB_DETAILS VALUES (21);\n";
}

// Phone-book rows as the sqlite3 shell writes them: a contact, and a list with its table.
inline QByteArray ContactRow(const char* nick, const char* first, const char* last, const char* number)
{
    return QByteArray(
               "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES('") +
           first + "','" + last + "','" + nick + "','" + number + "','SINGLE');\n";
}
inline QByteArray ListRows(const char* name, const QList<QByteArray>& members)
{
    QByteArray sql =
        QByteArray("INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                   "VALUES('','','") +
        name + "','" + QByteArray::number(members.size()) + "','LIST');\nCREATE TABLE \"" + name +
        "\" (ID INTEGER PRIMARY KEY AUTOINCREMENT, FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, "
        "CONTACT_TYPE);\n";
    for (const QByteArray& m : members) { // "first|last|number"
        const QList<QByteArray> f = m.split('|');
        sql += "INSERT INTO \"" + QByteArray(name) +
               "\" (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
               "VALUES('" +
               f.value(0) + "','" + f.value(1) + "','','" + f.value(2) + "','SINGLE');\n";
    }
    return sql;
}
