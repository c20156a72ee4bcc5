#include "ProgramWindows.h"

#include "AboutWindow.h"
#include "DictionaryWindows.h"
#include "DirectoryWindow.h"
#include "MainWindow.h"
#include "NotebookWindow.h"
#include "PaidServicesWindow.h"
#include "SearchWindow.h"
#include "StatisticsWindow.h"

#include <memory>

namespace orvelan {

TForm1 *createProgramWindows()
{
    auto form1 = std::make_unique<TForm1>();
    new TForm2(form1.get());
    new TForm3(form1.get());
    new TForm4(form1.get());
    new TForm5(form1.get());
    new TForm6(form1.get());
    new TForm7(form1.get());
    new TForm8(form1.get());
    new TForm9(form1.get());
    new TForm10(form1.get());
    new TForm11(form1.get());
    new TForm12(form1.get());
    return form1.release();
}

}  // namespace orvelan
