# Run by the windows_packages target (cmake -P): copies FILES into STAGE, each with the last
# commit's time stamp (SOURCE_DATE_EPOCH when set) and a fixed mode, zips them into ZIP and
# builds the installer MSI from WXS with wixl. One commit gives the same zip, byte for byte.
# (The MSI does not: wixl gives every build a new product and package code and its own time.)
foreach(variable SOURCE_DIR VERSION STAGE ZIP MSI WXS ICON FILES)
  if("${${variable}}" STREQUAL "")
    message(FATAL_ERROR "MakeWindowsPackages.cmake: -D ${variable}=... is missing")
  endif()
endforeach()
if(NOT ZIP_PROGRAM)
  message(FATAL_ERROR "zip is not installed (scripts/install-deps --windows installs it)")
endif()
if(NOT WIXL)
  message(FATAL_ERROR "wixl is not installed (scripts/install-deps --windows installs it)")
endif()
if(NOT EXISTS "${ICON}")
  message(FATAL_ERROR "${ICON}: the program's icon, which the installer shows, is missing")
endif()

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status
                  ERROR_QUIET)
  if(NOT status EQUAL 0 OR epoch STREQUAL "")
    message(FATAL_ERROR "not in a git checkout: set SOURCE_DATE_EPOCH to the sources' time")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${epoch}', not a number of seconds")
endif()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
set(names)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  if(name MATCHES "\\.(exe|com)$")
    set(permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                    WORLD_EXECUTE)
  else()
    set(permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
  file(COPY_FILE "${file}" "${STAGE}/${name}")
  file(CHMOD "${STAGE}/${name}" PERMISSIONS ${permissions})
  list(APPEND names "${name}")
endforeach()
execute_process(COMMAND touch -d "@${epoch}" ${names} WORKING_DIRECTORY "${STAGE}"
                COMMAND_ERROR_IS_FATAL ANY)

# zip writes local times: in UTC they are the same on every machine. -X leaves out the owner's
# ids and the extra time fields, and the entries go in in a fixed order.
list(SORT names)
set(ENV{TZ} UTC)
file(REMOVE "${ZIP}")
execute_process(COMMAND "${ZIP_PROGRAM}" -X -q "${ZIP}" ${names} WORKING_DIRECTORY "${STAGE}"
                COMMAND_ERROR_IS_FATAL ANY)

# wixl reads the source paths in the .wxs relative to the folder it runs in, and only warns of an
# attribute it does not know, leaving it out of the MSI: any warning fails the build here, so
# the .wxs cannot ask for more than the MSI does.
file(RELATIVE_PATH source_from_stage "${STAGE}" "${SOURCE_DIR}")
file(REMOVE "${MSI}")
execute_process(
  COMMAND "${WIXL}" --arch x64 --define "Version=${VERSION}" --define "SourceDir=${source_from_stage}"
          --define "StageDir=." --output "${MSI}" "${WXS}"
  WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
  file(REMOVE "${MSI}")
  message(FATAL_ERROR "wixl failed on ${WXS}:\n${errors}")
endif()
