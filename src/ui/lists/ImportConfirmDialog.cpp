#include "ui/lists/ImportConfirmDialog.h"

#include "i18n/Language.h"
#include "ui/dialogs/DialogSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QLabel* WrappedLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text, bool centred)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    if (centred)
        item->setTextAlignment(Qt::AlignCenter);
    grid->setItem(row, column, item);
}
} // namespace

TF_ConfermaLista::TF_ConfermaLista(const QString& language, QWidget* parent)
    : QDialog(parent), lblInt1(WrappedLabel("lblInt1", this)), lblInt2(WrappedLabel("lblInt2", this)),
      lblCsvExample(WrappedLabel("lblCsvExample", this)), lblInt4(WrappedLabel("lblInt4", this)),
      jvsgExcelExample(new QTableWidget(4, 5, this)), lblInt5(WrappedLabel("lblInt5", this)),
      BtnContinue(new QPushButton(this)), BtnCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("TF_ConfermaLista"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    jvsgExcelExample->setObjectName(QStringLiteral("jvsgExcelExample"));
    BtnContinue->setObjectName(QStringLiteral("BtnContinue"));
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));

    QFont bold = lblCsvExample->font();
    bold.setBold(true);
    lblCsvExample->setFont(bold);
    jvsgExcelExample->horizontalHeader()->hide();
    jvsgExcelExample->verticalHeader()->hide();
    jvsgExcelExample->setEditTriggers(QAbstractItemView::NoEditTriggers);
    jvsgExcelExample->setSelectionMode(QAbstractItemView::NoSelection);
    jvsgExcelExample->setFocusPolicy(Qt::NoFocus);
    jvsgExcelExample->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    jvsgExcelExample->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int width = 2 * jvsgExcelExample->frameWidth();
    for (int c = 0; c < 5; ++c) {
        jvsgExcelExample->setColumnWidth(c, c == 0 ? 30 : c == 2 ? 130 : 80);
        width += jvsgExcelExample->columnWidth(c);
    }
    for (int c = 1; c <= 4; ++c)
        SetCell(jvsgExcelExample, 0, c, QString(QChar(u'A' + c - 1)), true);
    for (int r = 1; r <= 3; ++r)
        SetCell(jvsgExcelExample, r, 0, QString::number(r), true);
    const int rowHeight = jvsgExcelExample->fontMetrics().height() + 8;
    jvsgExcelExample->verticalHeader()->setMinimumSectionSize(rowHeight);
    jvsgExcelExample->verticalHeader()->setDefaultSectionSize(rowHeight);
    jvsgExcelExample->setFixedSize(width, 4 * rowHeight + 2 * jvsgExcelExample->frameWidth());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnContinue);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblInt1, lblInt2, lblCsvExample, lblInt4, jvsgExcelExample, lblInt5})
        layout->addWidget(w);
    layout->addLayout(buttons);

    BtnContinue->setDefault(true);
    connect(BtnContinue, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    BtnContinue->setText(QStringLiteral("Continua >>"));
    BtnCancel->setText(QStringLiteral("Annulla"));
    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(language);
    FixSizeAtLeast(this, {460, 330});
}

TF_ConfermaLista::~TF_ConfermaLista() = default;

void TF_ConfermaLista::ApplyLanguage(const QString& code)
{
    const auto caption = PickText(
        code, {"Conferma importazione lista", "List import confirmation", "Confirma importaçao da lista"});
    if (!caption)
        return;
    setWindowTitle(*caption);
    lblInt1->setText(
        *PickText(code, {"E' possibile importare file di testo (.csv) oppure file Microsoft Excel (.xls).",
                         "You can import text files (.csv) or Microsoft Excel files (.xls).",
                         "E possivel importar file de texto (.csv) ou file Microsoft Excel (.xls)"}));
    lblInt2->setText(*PickText(
        code, {"Per i file csv ogni riga deve contentere un nominativo e un numero in questo formato:",
               "Each line of a csv file must have a name and a number following this format rules:",
               "Para os files csv cada linha tem que ter um nome e um numero desse formato:"}));
    lblCsvExample->setText(
        *PickText(code, {"nome;+393351234567", "name;+393351234567", "nome;+39351911234567"}));
    lblInt4->setText(*PickText(
        code,
        {"Per i file xls occorre avere un elenco di nominativi nella colonna A ed i relativi numeri nella "
         "colonna B.",
         "Each Excel file must have names in the first column (A) and numbers in the second column (B).",
         "Para os files xls precisa ter uma lista de nomes na coluna A e relativos numeros na coluna B."}));
    lblInt5->setText(*PickText(
        code, {"Per entrambi i formati (csv o xls) utilizzare il formato internazionale (es. +39335...).",
               "For both file type (csv or xls) use the international format number (e.g. +447788...).",
               "Por ambos formatos (csv ou xls) utilizar o formato internacional (es. +35196...)."}));
    BtnContinue->setText(*PickText(code, {"Continua >>", "Continue >>", "Continua >>"}));
    BtnCancel->setText(*PickText(code, {"Annulla", "Cancel", "Anula"}));
    SetCell(jvsgExcelExample, 1, 1, *PickText(code, {"Nome", "Name", "Nome"}), false);
    SetCell(jvsgExcelExample, 1, 2, *PickText(code, {"+4477881234567", "+4477881234567", "+39351911234567"}),
            false);
}
