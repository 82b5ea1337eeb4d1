#pragma once

#include <functional>
#include <memory>

class WrenlogMainForm;

/**
 * The open and save commands of a debug window and the file types behind
 * them. The file-type layer implements it and installs a factory with
 * WrenlogMainForm::setFileCommandsFactory(); every window creates its own
 * instance while it loads (that is where the built-in file types are made)
 * and drops it when it unloads.
 */
class FileCommandsLink
{
public:
    virtual ~FileCommandsLink() = default;
    virtual void SaveFile() = 0;
    virtual void OpenFile() = 0;
};

using FileCommandsFactory = std::function<std::unique_ptr<FileCommandsLink>(WrenlogMainForm &)>;
