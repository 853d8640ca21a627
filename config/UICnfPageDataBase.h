#pragma once

#include <QWidget>

class CnfProgram;
class UIIntValidator;

namespace Ui {
class UICnfPageDataBase;
}

// Page "Database" of the configuration dialog: server, database name, port
// and connection time-out, and a trial connection with what is typed.
class UICnfPageDataBase : public QWidget
{
    Q_OBJECT

public:
    UICnfPageDataBase(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageDataBase() override;

    bool isModified() const;
    // Checks every field and only then writes them into the configuration;
    // false, after a warning and with nothing written, when a field is not
    // acceptable.
    bool applyData();

public slots:
    void dataModified();
    void checkBoxDataBaseChanged(int state);
    void checkBoxPortNumberChanged(int state);
    void connectionTestClicked();

private:
    // Warns about the first field that is not acceptable and puts the focus
    // on it; true when all are.
    bool checkFields();

    CnfProgram *m_pCnfProgram;
    Ui::UICnfPageDataBase *m_pUi;
    bool m_bModified;
    UIIntValidator *m_pPortNumberValidator;
    UIIntValidator *m_pConnectionTimeoutValidator;
};
