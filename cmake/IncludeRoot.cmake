# Gives a target the include root of one source folder: build/layers/<folder>/ holding only a link
# <folder> -> the folder, so that "<folder>/File.h" is found and no other folder of src/ is. Those who
# link the target see the root; a header of a layer not linked is not found, and its include fails.
function(qinglan_include_root target folder)
  get_filename_component(name ${folder} NAME)
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
