// The controls of the administration window and their layout (ui/admin): the company
// fields in two columns, the three document groups side by side, and along the bottom the
// stock locations, the users and the picture and template buttons; sized to fit 1024x768.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "ui/admin/TForm4.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"

namespace tvx::ui {

namespace {

QFormLayout* Form() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return form;
}

// A document group: its series, and for numbered documents the maximum and next number.
QGroupBox* DocumentGroup(const char* title, QLineEdit* series, QLineEdit* maximum,
                         QLineEdit* next) {
    auto* group = new QGroupBox(title);
    auto* form = Form();
    form->addRow("Seria", series);
    if (maximum) form->addRow("Numarul maxim", maximum);
    if (next) form->addRow("Urmeaza nr.", next);
    group->setLayout(form);
    return group;
}

}  // namespace

void TForm4::BuildControls() {
    DenumSoc = TextBox(this, "DenumSoc", "Denumire Societate", 36, true);
    RegCom = TextBox(this, "RegCom", "Registrul Comertului", 16, true);
    CodFisc = TextBox(this, "CodFisc", "Cod de inregistrare", 12, true);
    Adresa = TextBox(this, "Adresa", "Adresa", 120, false);
    Localit = TextBox(this, "Localit", "Localitatea", 120, true);
    Jud = new QComboBox(this);
    NameControl(Jud, "Jud", "Judetul");
    for (const core::County& county : core::Counties()) Jud->addItem(county.name);
    Jud->setMaxVisibleItems(20);
    Cont = new QComboBox(this);
    NameControl(Cont, "Cont", "Conturi Banci");
    ContBanca = new QLabel(this);
    NameControl(ContBanca, "ContBanca", "Banca");
    AddContB = MakeButton("AddContB", "Adauga Cont", this);
    EditContB = MakeButton("EditContB", "Modifica Cont", this);
    DelContB = MakeButton("DelContB", "Sterge Cont", this);
    Capital = NumberBox(this, "Capital", "Capital social", 9, 0, false);
    DomeniuActivitate = new QComboBox(this);
    NameControl(DomeniuActivitate, "DomeniuActivitate", "Domeniul de activitate");
    DomeniuActivitate->addItems(
        {core::CompanyProfile::kGeneral, core::CompanyProfile::kServiceAuto});
    TelFax = TextBox(this, "TelFax", "Tel/Fax/Email", 60, false);
    TVALaInc = new QCheckBox("TVA la incasare", this);
    NameControl(TVALaInc, "TVALaInc", "TVA la incasare");
    SplitTVA = new QCheckBox("SPLIT TVA", this);
    NameControl(SplitTVA, "SplitTVA", "SPLIT TVA");
    OfficeOld = new QCheckBox("Utilizez Office 2013 sau mai vechi", this);
    NameControl(OfficeOld, "OfficeOld", "Utilizez Office 2013 sau mai vechi");
    OfficeOld->setToolTip(
        "Registrul de casa se scrie direct in fisier cand bifa este pusa. Pe acest sistem toate "
        "registrele de calcul se scriu direct in fisier si se deschid cu programul de calcul "
        "tabelar al sistemului, cu sau fara bifa.");

    FactSeriaEd = TextBox(this, "FactSeriaEd", "Seria facturi", 16, true);
    FactNrMaxEd = NumberBox(this, "FactNrMaxEd", "Numarul maxim facturi", 10, 0, false);
    FactNrEd = NumberBox(this, "FactNrEd", "Urmeaza nr. factura", 10, 0, false);
    ChitSeriaEd = TextBox(this, "ChitSeriaEd", "Seria chitante", 16, true);
    ChitNrMaxEd = NumberBox(this, "ChitNrMaxEd", "Numarul maxim chitante", 10, 0, false);
    ChitNrEd = NumberBox(this, "ChitNrEd", "Urmeaza nr. chitanta", 10, 0, false);
    AvizSeria = TextBox(this, "AvizSeria", "Seria avize", 6, true);

    GesEdit = TextBox(this, core::Locations::kEditField, "Gestiune noua",
                      static_cast<int>(core::kLocationWidth), true);
    GesLista = new QListWidget(this);
    NameControl(GesLista, core::Locations::kListField, "Gestiuni");
    AddGes = MakeButton("AddGes", "Adauga   >>", this);
    EditGes = MakeButton("EditGes", "Modifica   >>", this);
    DelGes = MakeButton("DelGes", "Sterge", this);

    Utilizatori = new QTableView(this);
    NameControl(Utilizatori, "Lista Utilizatori");
    Utilizatori->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Utilizatori->verticalHeader()->hide();
    Utilizatori->horizontalHeader()->setStretchLastSection(true);
    userModel_ = new ResultSetModel(this);
    userModel_->attach(Utilizatori);
    AddUser = MakeButton("AddUser", "Adauga Utilizator", this);
    EditUser = MakeButton("EditUser", "Modifica Utilizator", this);
    DelUser = MakeButton("DelUser", "Sterge Utilizator", this);

    SelPoza = MakeButton("SelPoza", "Alegeti Poza", this);
    DelPozaBut = MakeButton("DelPozaBut", "Sterge Poza", this);
    EditModeleB = MakeButton("EditModeleB", "Modele de listare", this);
    auto* menu = new QMenu(EditModeleB);
    menu->setObjectName("ModeleMenu");
    QMenu* nir = menu->addMenu("Model N.I.R.");
    nir->setObjectName("ModelNIR");
    QAction* edit = nir->addAction("Modificare model");
    edit->setObjectName("ModificareModele");
    connect(edit, &QAction::triggered, this, [this] { ModificareModele(); });
    QAction* restore = nir->addAction("Refa modelul initial");
    restore->setObjectName("NIRDel");
    connect(restore, &QAction::triggered, this, [this] { NIRDelClick(); });
    EditModeleB->setMenu(menu);
    ModelBut = MakeButton("ModelBut", "&Modifica model Precomanda", this);
    NormaBut = MakeButton("NormaBut", "Normativ de timp", this);
    NormaBut->setEnabled(false);

    SaveBut = MakeButton("SaveBut", "Salveaza si inchide", this);
    Renunt = MakeButton("Renunt", "Renunt", this);
}

void TForm4::BuildLayout() {
    // Company fields: identity on the left, accounts, activity and ticks on the right.
    auto* identity = Form();
    identity->addRow("Denumire Societate", DenumSoc);
    identity->addRow("Registrul Comertului", RegCom);
    identity->addRow("Cod de inregistrare", CodFisc);
    identity->addRow("Adresa", Adresa);
    identity->addRow("Localitatea", Localit);
    identity->addRow("Judetul", Jud);
    identity->addRow("Tel/Fax/Email", TelFax);

    auto* accountButtons = new QHBoxLayout;
    accountButtons->addWidget(AddContB);
    accountButtons->addWidget(EditContB);
    accountButtons->addWidget(DelContB);
    accountButtons->addStretch();
    auto* business = Form();
    business->addRow("Conturi Banci", Cont);
    business->addRow(QString(), ContBanca);
    business->addRow(QString(), accountButtons);
    business->addRow("Capital social", Capital);
    business->addRow("Domeniul de activitate", DomeniuActivitate);
    business->addRow(QString(), TVALaInc);
    business->addRow(QString(), SplitTVA);
    business->addRow(QString(), OfficeOld);

    auto* company = new QHBoxLayout;
    company->addLayout(identity, 1);
    company->addSpacing(16);
    company->addLayout(business, 1);

    auto* documents = new QHBoxLayout;
    documents->addWidget(DocumentGroup("Facturi emise", FactSeriaEd, FactNrMaxEd, FactNrEd), 1);
    documents->addWidget(DocumentGroup("Chitante emise", ChitSeriaEd, ChitNrMaxEd, ChitNrEd), 1);
    auto* notes = DocumentGroup("Avize de insotire a marfii", AvizSeria, nullptr, nullptr);
    notes->setAlignment(Qt::AlignLeft);
    documents->addWidget(notes, 1, Qt::AlignTop);

    // Locations: the edit box and its commands point at the list.
    auto* locations = new QGroupBox("Gestiuni");
    auto* locationGrid = new QGridLayout(locations);
    locationGrid->addWidget(GesEdit, 0, 0);
    locationGrid->addWidget(AddGes, 1, 0);
    locationGrid->addWidget(EditGes, 2, 0);
    locationGrid->addWidget(DelGes, 3, 0);
    locationGrid->setRowStretch(4, 1);
    locationGrid->addWidget(GesLista, 0, 1, 5, 1);
    locationGrid->setColumnStretch(1, 1);

    auto* users = new QGroupBox("Lista Utilizatori");
    auto* userGrid = new QGridLayout(users);
    userGrid->addWidget(Utilizatori, 0, 0, 4, 1);
    userGrid->addWidget(AddUser, 0, 1);
    userGrid->addWidget(EditUser, 1, 1);
    userGrid->addWidget(DelUser, 2, 1);
    userGrid->setRowStretch(3, 1);
    userGrid->setColumnStretch(0, 1);

    auto* stamp = new QGroupBox("Poza stampila");
    auto* stampButtons = new QVBoxLayout(stamp);
    stampButtons->addWidget(SelPoza);
    stampButtons->addWidget(DelPozaBut);
    auto* templates = new QVBoxLayout;
    templates->addWidget(stamp);
    templates->addWidget(EditModeleB);
    templates->addWidget(ModelBut);
    templates->addWidget(NormaBut);
    templates->addStretch();

    auto* lists = new QHBoxLayout;
    lists->addWidget(locations, 1);
    lists->addWidget(users, 1);
    lists->addLayout(templates);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(company);
    layout->addLayout(documents);
    layout->addLayout(lists, 1);
    layout->addLayout(ButtonRow(SaveBut, Renunt));

    // Choices as wide as the boxes beside them; room for a whole IBAN. Fits 1024x768.
    for (QComboBox* choice : {Jud, Cont, DomeniuActivitate})
        choice->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Cont->setMinimumContentsLength(24);
    DenumSoc->setMinimumWidth(DenumSoc->fontMetrics().horizontalAdvance(QString(36, 'W')) / 2);
    GesLista->setMinimumHeight(120);
    Utilizatori->setMinimumHeight(120);
    resize(980, 660);
}

}  // namespace tvx::ui
