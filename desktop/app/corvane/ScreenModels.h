#pragma once

namespace corvane {

class ApprovalViewModel;
class GlassesViewModel;
class PreviewsSwitchViewModel;
class ServerLogModel;
class UpdatesModel;
class WelcomeViewModel;

// The models of the screens a face offers beside the menu's readout. A face offers only the screens
// whose model it is given.
struct ScreenModels {
    WelcomeViewModel* welcome = nullptr;
    ApprovalViewModel* approval = nullptr;
    PreviewsSwitchViewModel* previews = nullptr;
    GlassesViewModel* glasses = nullptr;
    UpdatesModel* updates = nullptr;
    ServerLogModel* log = nullptr;
};

} // namespace corvane
