// quellhart-editor: the Quellhart savegame editor window. The toolkit's start-up
// code finds this application object and runs its InitInstance.
#include "ui/EditorApp.h"

quellhart::ui::CEditorApp theApp;
