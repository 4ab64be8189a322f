#pragma once

#include <QString>

class QDomDocument;
class QDomNode;
class TContactNode;
class TContactsTree;

// The XML phone book of the previous version: one main file (the setting ContactsFile)
// with the contacts and the list headers, and one file per list with its members.
// Written as UTF-8 with an XML declaration; read in UTF-8, UTF-16, or Windows-1252 when a
// file without an encoding declaration is not valid UTF-8.
class TPreviousPhoneBook
{
public:
    // contactsFile: the value of the setting ContactsFile; list files live beside it.
    explicit TPreviousPhoneBook(QString contactsFile);

    // Reads the main file and every list file into the tree; rewrites the main file when
    // another program version wrote it. A missing file reads as nothing.
    bool ImportPreviousPhoneBook(const QString& mainFile, TContactsTree& tree);
    // Reads the file of the list called name as the children of list.
    bool ReadListXml(TContactsTree& tree, TContactNode* list, const QString& name);
    // Writes the tree's top-level nodes as the main file; nodes without an ID get one.
    bool WritePreviousPhoneBook(const QString& fileName, TContactsTree& tree);
    QString ListXmlPath(const QString& name) const;

    const QString& LastError() const { return m_lastError; }

    // Loads an XML file in any of the encodings above; false with a message on failure.
    static bool LoadXml(const QString& fileName, QDomDocument& document, QString* error);

private:
    void ReadContact(TContactsTree& tree, TContactNode* target, const QDomNode& contact);
    bool Fail(const QString& message);

    QString m_contactsFile;
    QString m_lastError;
};
