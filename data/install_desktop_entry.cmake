# Writes and installs the desktop entry; part of the install rules (data/CMakeLists.txt).
#
# Exec names the program alone only where it lands in a folder on every session's PATH.
# Anywhere else, ~/.local/bin above all, it is named by its full path: a session started
# before the first install has no ~/.local/bin on its PATH until the next login, and its
# menu could not start the game.
cmake_policy(VERSION 3.25)
set(program_dir "${jumblix_prefix}/${jumblix_bindir}")
if(program_dir MATCHES "^/usr/(bin|games|local/bin)$")
  set(exec jumblix)
else()
  set(exec "${program_dir}/jumblix")
  # Quoted when it holds anything but plain characters; inside the quotes \ " ` $ take a
  # backslash, which the desktop file's own escaping doubles.
  if(exec MATCHES "[^A-Za-z0-9/._+,:@=-]")
    string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
    foreach(special IN ITEMS "\"" "`" "$")
      string(REPLACE "${special}" "\\\\${special}" exec "${exec}")
    endforeach()
    set(exec "\"${exec}\"")
  endif()
  string(REPLACE "%" "%%" exec "${exec}")
endif()

set(JUMBLIX_APP_ID "${jumblix_app_id}")
set(JUMBLIX_EXEC "${exec}")
# Staged under a name of its own per destination, so that installs into different places
# at the same time never share it; removed once installed.
string(MD5 destination "$ENV{DESTDIR}${program_dir}")
set(staged "${jumblix_desktop_staging}/${jumblix_app_id}.desktop.${destination}")
configure_file("${jumblix_desktop_template}" "${staged}" @ONLY)
if(NOT IS_ABSOLUTE "${jumblix_applications_dir}")
  set(jumblix_applications_dir "${CMAKE_INSTALL_PREFIX}/${jumblix_applications_dir}")
endif()
file(INSTALL DESTINATION "${jumblix_applications_dir}" TYPE FILE
     RENAME "${jumblix_app_id}.desktop" FILES "${staged}")
file(REMOVE "${staged}")
