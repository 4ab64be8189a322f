// An independent SOAP 1.1 server for the remote phone-book tests, built on the npm "soap" package
// and the program's WSDL. It keeps a phone book in memory, read from a JSON file:
//   { "login": {"UserID": "...", "Password": "..."},          optional: other logins get a fault
//     "folders": [{"FolderID": 1, "FolderName": "Rubrica", "Folder_Type": "ft_Main",
//                  "fail": "text"}],                            "fail": its contacts call faults
//     "contacts": [{"ID": 1, "NICKNAME": "...", "FIRST_NAME": "...", "LAST_NAME": "...",
//                   "MOBILE_TELEPHONE": "...", "folders": [1, 2]}],
//     "addAnswer": "text", "deleteAnswer": "text" }            optional fixed answers
// Every request is printed on standard output as one line: "REQUEST <operation> <arguments as JSON>".
//
// usage: node server.js PORT WSDL [DATA.json]
'use strict';

const fs = require('fs');
const http = require('http');
const soap = require('soap');

const [port, wsdlPath, dataPath] = process.argv.slice(2);
const wsdl = fs.readFileSync(wsdlPath, 'utf8');
const data = dataPath ? JSON.parse(fs.readFileSync(dataPath, 'utf8')) : {};
const folders = data.folders || [];
const contacts = data.contacts || [];
let nextId = contacts.reduce((max, c) => Math.max(max, c.ID), 0) + 1;

function fault(text) {
  return { Fault: { faultcode: 'soap:Server', faultstring: text, statusCode: 500 } };
}

function checkLogin(args) {
  const login = args.UserLogin || {};
  if (login.Domain !== 'tarvotelecom')
    throw fault('Unknown domain');
  if (data.login && (login.UserID !== data.login.UserID || login.Password !== data.login.Password))
    throw fault('Login failed');
}

function number(value) {
  const n = Number(value);
  if (!Number.isInteger(n))
    throw fault('Not an integer: ' + value);
  return n;
}

const textFields = ['LAST_NAME', 'FIRST_NAME', 'NICKNAME', 'MOBILE_TELEPHONE'];

function contactOut(c, page, maxPage) {
  const out = { ID: c.ID };
  for (const f of textFields)
    if (c[f] !== undefined)
      out[f] = c[f];
  out.SEX = 'st_Male';
  out.BIRTHDAY = '2000-01-01T00:00:00';
  out.ID_FOLDERS = { int: c.folders || [] };
  out.Page = page;
  out.MaxPage = maxPage;
  return out;
}

function membersOf(folder) {
  if (folder.Folder_Type === 'ft_Main')
    return contacts;
  return contacts.filter((c) => (c.folders || []).includes(folder.FolderID));
}

function log(operation, args) {
  process.stdout.write('REQUEST ' + operation + ' ' + JSON.stringify(args) + '\n');
}

function operation(name, body) {
  return (args) => {
    log(name, args);
    checkLogin(args);
    return body(args);
  };
}

const service = {
  TarvoPhoneBook: {
    TarvoPhoneBookSoap: {
      GetFolderLists: operation('GetFolderLists', () => ({
        GetFolderListsResult: {
          RecordFolder: {
            RecordFolder: folders.map((f) => ({
              FolderID: f.FolderID,
              FolderName: f.FolderName,
              ContactsCount: membersOf(f).length,
              Folder_Type: f.Folder_Type,
            })),
          },
        },
      })),
      GetFolderContacts: operation('GetFolderContacts', (args) => {
        const folder = folders.find((f) => f.FolderID === number(args.FolderID));
        if (!folder)
          throw fault('No folder ' + args.FolderID);
        if (folder.fail)
          throw fault(folder.fail);
        const page = number(args.Page);
        const size = number(args.PageSize);
        if (page < 0 || size < 1)
          throw fault('Bad page');
        const all = membersOf(folder);
        const maxPage = Math.max(0, Math.ceil(all.length / size) - 1);
        const chosen = all.slice(page * size, page * size + size);
        return { GetFolderContactsResult: { Contact: chosen.map((c) => contactOut(c, page, maxPage)) } };
      }),
      AddNewContact: operation('AddNewContact', (args) => {
        const d = args.ContactDetails || {};
        if (data.addAnswer !== undefined)
          return { AddNewContactResult: data.addAnswer };
        const c = { ID: nextId++, folders: [].concat((d.ID_FOLDERS || {}).int || []).map(Number) };
        for (const f of textFields)
          if (d[f] !== undefined)
            c[f] = d[f];
        contacts.push(c);
        return { AddNewContactResult: String(c.ID) };
      }),
      UpdateContactDetails: operation('UpdateContactDetails', (args) => {
        const d = args.UpContact || {};
        const c = contacts.find((x) => x.ID === number(d.ID));
        if (!c)
          throw fault('No contact ' + d.ID);
        for (const f of textFields)
          if (d[f] !== undefined)
            c[f] = d[f];
        return { UpdateContactDetailsResult: contactOut(c, 0, 0) };
      }),
      DeleteContact: operation('DeleteContact', (args) => {
        if (data.deleteAnswer !== undefined)
          return { DeleteContactResult: data.deleteAnswer };
        const index = contacts.findIndex((x) => x.ID === number(args.ContactID));
        if (index < 0)
          return { DeleteContactResult: '-ERR no contact ' + args.ContactID };
        contacts.splice(index, 1);
        return { DeleteContactResult: '+OK' };
      }),
    },
  },
};

// The operations the program never calls answer with a fault.
const unused = ['CreateNewPhoneBook', 'GetPhoneBookVersion', 'AddFolderList', 'GetFolderDetailsByID',
  'GetContactDetails', 'InsertMultipleNewContact', 'AddContactToFolderLists', 'RemoveContactInFolderList',
  'DeleteFolderList', 'RenameFolderList', 'GetFolderIDbyName', 'GetFolderTypeById'];
for (const name of unused)
  service.TarvoPhoneBook.TarvoPhoneBookSoap[name] = operation(name, () => {
    throw fault(name + ' is not served here');
  });

const server = http.createServer((request, response) => {
  response.statusCode = 404;
  response.end();
});
server.listen(Number(port), '127.0.0.1', () => {
  soap.listen(server, '/services/TarvoPhoneBook.asmx', service, wsdl);
  process.stdout.write('READY ' + port + '\n');
});
