# Fails when an include runs against the layers of the tree or reaches past a folder's public
# headers. Run by CTest:
#   cmake -DSOURCE_DIR=<tree> -DLAYERS="platform;library|imaging;..." \
#         -DPUBLIC_HEADERS="controls/markup:markup_renderer.h;..." -P check_layers.cmake
#
# LAYERS names the folders lowest first; folders joined by "|" stand side by side. A file includes
# headers of its own folder and of folders in lower layers only, and every file of a layered top
# folder (platform/, controls/ ...) lies in a listed folder, so a new folder must be placed.
#
# PUBLIC_HEADERS gives, for a folder that keeps most of its headers to itself, the ones other
# files may include ("folder:a.h,b.h"). Only the folder's own files, its tests (tests/<name>/,
# <name> the folder's last part) and the fuzz targets include the rest.

cmake_minimum_required(VERSION 3.25)

# --- the layers ---
set(violations "")
set(folders "")
set(tops "")
set(rank 0)
foreach(layer IN LISTS LAYERS)
  string(REPLACE "|" ";" side_by_side "${layer}")
  foreach(folder IN LISTS side_by_side)
    if(NOT IS_DIRECTORY ${SOURCE_DIR}/${folder})
      list(APPEND violations "the layer list names ${folder}/, which does not exist")
    endif()
    set(rank_of_${folder} ${rank})
    list(APPEND folders ${folder})
    string(REGEX REPLACE "/.*" "" top "${folder}")
    list(APPEND tops ${top})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()
list(REMOVE_DUPLICATES tops)

# The listed folder that `path` lies in (the longest that holds it), or "" for none.
function(folder_of path out)
  set(found "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}" length)
    string(LENGTH "${found}" found_length)
    if(length GREATER found_length AND path MATCHES "^${folder}/")
      set(found "${folder}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# --- the public headers ---
set(guarded "")
foreach(entry IN LISTS PUBLIC_HEADERS)
  string(REGEX REPLACE ":.*" "" folder "${entry}")
  string(REGEX REPLACE "^[^:]*:" "" names "${entry}")
  string(REPLACE "," ";" names "${names}")
  foreach(name IN LISTS names)
    if(NOT EXISTS ${SOURCE_DIR}/${folder}/${name})
      list(APPEND violations "the public headers of ${folder}/ name ${name}, which does not exist")
    endif()
  endforeach()
  string(REGEX REPLACE ".*/" "" leaf "${folder}")
  set(public_of_${folder} ${names})
  set(insiders_of_${folder} "${folder}" "tests/${leaf}" "fuzz")
  list(APPEND guarded ${folder})
endforeach()

# --- every C++ file of the tree: the layered folders, and the tests, benchmarks, fuzz targets
# and tools above them ---
set(files "")
foreach(top IN LISTS tops ITEMS tests bench fuzz tools)
  file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*.h ${SOURCE_DIR}/${top}/*.cpp)
  list(APPEND files ${found})
endforeach()
set(checked 0)
foreach(file IN LISTS files)
  string(REGEX REPLACE "/.*" "" file_top "${file}")
  folder_of("${file}" own)
  if(file_top IN_LIST tops AND own STREQUAL "")
    list(APPEND violations "${file} lies in no folder of the layer list")
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
    folder_of("${header}" target)
    if(target STREQUAL "")
      continue()
    endif()
    # Down the layers, from the folders the layers list.
    if(NOT own STREQUAL "" AND NOT target STREQUAL own)
      if(NOT rank_of_${target} LESS rank_of_${own})
        list(APPEND violations "${file}: ${line} reaches from ${own}/ up or across into ${target}/")
      endif()
    endif()
    # Past the public headers, from anywhere.
    if(target IN_LIST guarded)
      set(inside FALSE)
      foreach(insider IN LISTS insiders_of_${target})
        if(file MATCHES "^${insider}/")
          set(inside TRUE)
        endif()
      endforeach()
      string(REGEX REPLACE "^${target}/" "" name "${header}")
      if(NOT inside AND NOT name IN_LIST public_of_${target})
        list(APPEND violations "${file}: ${line} is not a public header of ${target}/ (${public_of_${target}})")
      endif()
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Includes against the layers or past the public headers:\n${text}")
endif()
list(LENGTH folders count)
message(STATUS "${checked} files: includes run down the ${count} folders' layers and through their public headers")
