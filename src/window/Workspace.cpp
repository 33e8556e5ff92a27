#include "window/Workspace.h"

#include "window/ConnectionCommand.h"
#include "window/ErrorBoxText.h"

#include <stdexcept>

namespace window {

Workspace::Workspace(std::unique_ptr<Prompts> prompts)
    : prompts_(std::move(prompts)),
      command_(std::make_unique<ConnectionCommand>(ADOCommand1, ADOConnection1)) {}

Workspace::~Workspace() = default;

void Workspace::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showException(std::runtime_error(unknownErrorMessage));
    }
}

void Workspace::showException(const std::exception& error) {
    prompts_->error(QString::fromStdString(errorBoxText(error.what())));
}

} // namespace window
