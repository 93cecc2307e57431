#include "app/program_state.h"

#include "base/path_resolution.h"

namespace kavelune {

namespace {

ContentRegistry standardContent(const std::filesystem::path& programFolder) {
    ContentRegistry registry;
    registry.registerStandardKinds(programFolder);
    return registry;
}

MotionPool motionPoolBelow(const std::filesystem::path& programFolder, MotionBlockExtensions extensions) {
    MotionPool pool;
    pool.setBlockExtensions(extensions);
    pool.setFolder(resolveContentPath(programFolder, "Sequences\\Motion Pool"));
    pool.setCameraFolder(programFolder);
    return pool;
}

}  // namespace

ProgramState::ProgramState(const EditionTraits& programEdition, std::filesystem::path folder,
                           LaunchSettings chosenSettings, WebService service, int userLanguageId, WebAccess webAccess)
    : edition(programEdition),
      programFolder(std::move(folder)),
      settings(std::move(chosenSettings)),
      content(standardContent(programFolder)),
      motionPool(motionPoolBelow(programFolder, edition.motionBlocks)),
      danceMusic(content.folderOf(kInfoKind).value_or(resolveContentPath(programFolder, "Info"))),
      menu(edition),
      web(std::move(service), userLanguageId, std::move(webAccess)) {}

}  // namespace kavelune
