#include "app/qt/Demo.h"

#include "resources/MainTexts.h"

namespace zorvik {

bool StartDemo(SimServer& printer, MainDialog& window, std::string& error)
{
    if (!printer.Start({.tcp = true})) {
        error = printer.Error();
        return false;
    }
    window.PresetEthernet({127, 0, 0, 1}, printer.TcpPort());
    window.setWindowTitle(QString::fromUtf8(kMainCaptionDemo));
    return true;
}

}  // namespace zorvik
