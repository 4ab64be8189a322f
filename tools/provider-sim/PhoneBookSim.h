#pragma once

#include "HttpSim.h"

#include <QList>
#include <QMap>
#include <QString>
#include <memory>

// The provider's remote phone book (SOAP 1.1, document/literal) on the stand-in's HTTP port:
// POST /services/TarvoPhoneBook.asmx runs an operation, GET ...?wsdl answers the WSDL. It keeps a
// small phone book in memory: a main folder with every contact, lists (ft_Folder) and a mobile
// folder (ft_Mobile). Requests are read with this file's own XML code, never the client's.
class PhoneBookSim
{
public:
    static QByteArray Path() { return "/services/TarvoPhoneBook.asmx"; }
    static QString Namespace() { return QStringLiteral("http://www.tarvotelecom.example/TarvoPhoneBook/"); }

    PhoneBookSim();
    ~PhoneBookSim();
    PhoneBookSim(const PhoneBookSim&) = delete;
    PhoneBookSim& operator=(const PhoneBookSim&) = delete;

    void Register(HttpSim& http);
    // Adds count generated contacts to the main folder (for paging and large phone books).
    void AddGeneratedContacts(int count);

    struct Element; // a request element, read by the stand-in's own parser

private:
    struct Folder
    {
        qint32 id = 0;
        QString name;
        QString type; // "ft_Folder", "ft_Main", "ft_Mobile"
    };
    struct Contact
    {
        qint32 id = 0;
        QMap<QString, QString> texts; // the optional text elements that are set
        QString sex = QStringLiteral("st_Male");
        QString birthday = QStringLiteral("1900-01-01T00:00:00");
        QList<qint32> folders;
    };

    HttpResponse Handle(const HttpRequest& request);
    QByteArray Run(const QString& operation, const Element& call);
    QList<const Contact*> Members(const Folder& folder) const;
    Folder* FindFolder(qint32 id);
    Contact* FindContact(qint32 id);
    void ReadContact(const Element& from, Contact& into) const;
    QByteArray ContactXml(const QString& element, const Contact& c, qint32 page, qint32 maxPage) const;
    QByteArray FolderXml(const QString& element, const Folder& f) const;

    QList<Folder> m_folders;
    QList<Contact> m_contacts;
    qint32 m_nextFolder = 1;
    qint32 m_nextContact = 1;
    QByteArray m_wsdl;
};
