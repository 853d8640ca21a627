#pragma once

#include "UICnfPage.h"

#include <memory>

class UIIntValidator;

namespace Ui {
class UICnfPageDataBase;
}

// Page "Database" of the configuration dialog: server, database name, port
// and connection time-out, and a trial connection with what is typed.
class UICnfPageDataBase : public UICnfPage
{
    Q_OBJECT

public:
    UICnfPageDataBase(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageDataBase() override;

    bool applyData() override;

public slots:
    void checkBoxDataBaseChanged(int state);
    void checkBoxPortNumberChanged(int state);
    void connectionTestClicked();

private:
    // Warns about the first field that is not acceptable and puts the focus
    // on it; true when all are.
    bool checkFields();

    std::unique_ptr<Ui::UICnfPageDataBase> m_ui;
    UIIntValidator *m_pPortNumberValidator;
    UIIntValidator *m_pConnectionTimeoutValidator;
};
