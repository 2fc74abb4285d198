#pragma once
// The program's windows, created once at start in a fixed order and kept for the whole run.
// The first one is the main window; dialogs are shown modally when needed, tool windows
// modelessly. A window of a later feature joins by replacing its nullptr line below with its
// creation (in the same order) and adding its accessor.
class QWidget;
class TForm1;
class TParamForm;
class TTransForm;
class TSaveForm;
class TFindForm;
class TSymForm;
class TScriptForm;
class TEditDlg;

class App {
 public:
  App();   // creates the windows in order
  ~App();  // deletes them in reverse order
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  static App* Instance();

  TForm1* form1 = nullptr;            // 1 "Перевод мобильных игр"
  TParamForm* paramForm = nullptr;    // 2 "Параметры файла"
  TTransForm* transForm = nullptr;    // 3 "Перевод строки"
  TSaveForm* saveForm = nullptr;      // 4 "Параметры сохранения"
  QWidget* pngFrm = nullptr;          // 5 TPngFrm "Редактор PNG-шрифтов"
  QWidget* pForm = nullptr;           // 6 TPForm "Рисунок"
  TSymForm* symForm = nullptr;        // 7 "Таблица символов"
  TScriptForm* scriptForm = nullptr;  // 8 "Скрипт"
  TEditDlg* editDlg = nullptr;        // 9 "Введите параметр"
  QWidget* elkwareForm = nullptr;     // 10 TElkwareForm "Ресурсы Elkware"
  TFindForm* findForm = nullptr;      // 11 "Найти"
};

// Shorthands for the windows of the running App.
TParamForm* ParamForm();
TTransForm* TransForm();
TSaveForm* SaveForm();
TFindForm* FindForm();
TSymForm* SymForm();
TScriptForm* ScriptForm();
TEditDlg* EditDlg();
