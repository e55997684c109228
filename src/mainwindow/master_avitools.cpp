// The AVI tools as the main window opens them: the information texts' window.

#include "master.h"

#include "avitools/other_info.h"

namespace kestrova {

OtherInfo* Master::otherInfoWindow() const { return otherInfo_; }

void Master::showOtherInfo() {
    if (!otherInfo_) {
        otherInfo_ = new OtherInfo(this);
        otherInfo_->setWindowFlag(Qt::Window);
        otherInfo_->setAttribute(Qt::WA_DeleteOnClose);
    }
    otherInfo_->show();
    otherInfo_->raise();
    otherInfo_->activateWindow();
}

}  // namespace kestrova
