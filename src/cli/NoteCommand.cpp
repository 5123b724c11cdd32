#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "app/AppPaths.h"
#include "cli/Commands.h"
#include "platform/NativePath.h"
#include "rules/RulesReader.h"

namespace qinglan::cli {

namespace {

struct NoteOptions {
  std::string name;
  std::string db;
};

void runNote(const NoteOptions& options) {
  std::string path = options.db.empty() ? startUpPaths().dbFileName : options.db;
  // Opening creates a missing file; a lookup should not leave an empty database behind.
  if (!std::filesystem::is_regular_file(platform::fsPath(path)))
    throw std::runtime_error("no rules database at " + path);
  // A finding's note is looked up by its file name alone.
  std::string fileName = platform::pathText(platform::fsPath(options.name).filename());
  TSQLiteDatabase db(path);
  std::string note = lookupNote(db, fileName);
  if (note.empty()) {
    std::cerr << "no note for " << fileName << '\n';
    exitWith(ExitCode::Failure);
  }
  std::cout << note << '\n';
}

}  // namespace

void addNoteCommand(CLI::App& app) {
  auto options = std::make_shared<NoteOptions>();
  CLI::App* command = app.add_subcommand(
      "note", "Print the note shown for a file name (whole-name note, else the extension's)");
  command->add_option("NAME", options->name, "File name of a finding")->required();
  command->add_option("--db", options->db, "Rules database (default: the program's, as for scan)");
  command->callback([options] { runNote(*options); });
}

}  // namespace qinglan::cli
