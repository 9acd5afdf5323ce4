// The dialogs of the main window: each hands out a copy of its model and takes it back on OK.
#include "app/AppController.h"
#include "engine/FrontEndPort.h"

namespace velmora {

template <typename Model>
AppController::Refused<Model> AppController::showRefusal(Refused<Model> refusal) {
    if (!refusal)
        return refusal;
    // A refusal with a context is an error of the dialog, which an open run log also records;
    // the others are the plain notices of a number field.
    if (!refusal->context.empty())
        reporter_.report(refusal->context, refusal->message);
    else
        services_.frontEnd.message(refusal->message);
    return refusal;
}

AppController::DialogSession<MoreOptionsModel> AppController::moreOptions() {
    return {MoreOptionsModel(profile_), SilentPause(reporter_)};
}

AppController::Refused<MoreOptionsModel> AppController::acceptMoreOptions(const MoreOptionsModel& model) {
    const ChangeNotice notice(*this);
    if (busy())
        return std::nullopt;
    if (auto refusal = showRefusal<MoreOptionsModel>(model.store(profile_)))
        return refusal;
    moreOptionsAccepted();
    return std::nullopt;
}

bool AppController::browseLogFile(MoreOptionsModel& model) {
    FileChoice request;
    request.kind = FileChoice::Kind::OpenOne;
    request.title = "Log File";
    request.filters = {{"Velmora log file (text) (*.txt)", "*.txt"}};
    request.defaultExtension = "txt";
    request.startFolder = model.logPath;
    const std::vector<std::string> chosen = chooseFiles(std::move(request));
    if (chosen.empty())
        return false;
    model.logPath = chosen.front();
    return true;
}

AppController::DialogSession<ConfigurationModel> AppController::configuration() {
    GeneralSettings shown = general_;
    // The button style is read from the settings as the dialog opens.
    shown.showNoTextButtons = readGeneralSettings(services_.settings).showNoTextButtons;
    return {ConfigurationModel(shown), SilentPause(reporter_)};
}

AppController::Refused<ConfigurationModel>
AppController::acceptConfiguration(const ConfigurationModel& model) {
    const ChangeNotice notice(*this);
    GeneralSettings settings = general_;
    if (auto refusal = showRefusal<ConfigurationModel>(model.apply(settings)))
        return refusal;
    configurationAccepted(settings);
    return std::nullopt;
}

AppController::DialogSession<ExclusionFilesModel> AppController::exclusions() {
    return {ExclusionFilesModel(profile_.exclusions, services_.fileSystem, exclusionBrowseFolder_),
            SilentPause(reporter_)};
}

void AppController::acceptExclusions(const ExclusionFilesModel& model) {
    const ChangeNotice notice(*this);
    if (busy())
        return;
    exclusionsAccepted(model.working());
}

AppController::DialogSession<ReportModel> AppController::lastReport() {
    return {ReportModel(results_), SilentPause(reporter_)};
}

bool AppController::browse(Location which) {
    const ChangeNotice notice(*this);
    if (busy())
        return false;
    FileChoice request;
    request.kind = FileChoice::Kind::Folder;
    request.title = which == Location::One ? "Select Folder Location 1" : "Select Folder Location 2";
    request.startFolder = locationText(which);
    const std::vector<std::string> chosen = chooseFiles(std::move(request));
    if (chosen.empty())
        return false;
    chooseLocation(which, chosen.front());
    return true;
}

} // namespace velmora
