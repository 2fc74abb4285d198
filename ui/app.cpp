#include "app.h"

#include <QWidget>

#include "teditdlg.h"
#include "telkwareform.h"
#include "tfindform.h"
#include "tform1.h"
#include "tparamform.h"
#include "tpform.h"
#include "tpngfrm.h"
#include "tsaveform.h"
#include "tscriptform.h"
#include "tsymform.h"
#include "ttransform.h"

namespace {
App* instance = nullptr;
}

App::App() {
  instance = this;
  form1 = new TForm1;
  paramForm = new TParamForm;
  transForm = new TTransForm;
  saveForm = new TSaveForm;
  auto* editor = new TPngFrm;
  auto* picture = new TPForm;
  editor->SetPictureWindow(picture);
  pngFrm = editor;
  pForm = picture;
  // 7 to 10: the symbol table editor, script editor, parameter prompt and Elkware browser join
  // here in this order.
  symForm = new TSymForm;
  scriptForm = new TScriptForm;
  editDlg = new TEditDlg;
  elkwareForm = new TElkwareForm;
  findForm = new TFindForm;
}

App::~App() {
  delete findForm;
  delete elkwareForm;
  delete editDlg;
  delete scriptForm;
  delete symForm;
  delete pForm;
  delete pngFrm;
  delete saveForm;
  delete transForm;
  delete paramForm;
  delete form1;
  instance = nullptr;
}

App* App::Instance() { return instance; }

TParamForm* ParamForm() { return instance ? instance->paramForm : nullptr; }
TTransForm* TransForm() { return instance ? instance->transForm : nullptr; }
TSaveForm* SaveForm() { return instance ? instance->saveForm : nullptr; }
TFindForm* FindForm() { return instance ? instance->findForm : nullptr; }
TSymForm* SymForm() { return instance ? instance->symForm : nullptr; }
TScriptForm* ScriptForm() { return instance ? instance->scriptForm : nullptr; }
TEditDlg* EditDlg() { return instance ? instance->editDlg : nullptr; }
