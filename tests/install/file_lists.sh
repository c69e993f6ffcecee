# Shell functions shared by the install and package tests (sourced).

# The files below a folder, as absolute paths of the tree they stage.
tree_files() {
  (cd "$1" && find . -type f -o -type l | sed 's|^\.||' | sort)
}

# Fails, showing the difference, unless two sorted file lists are the same.
# Usage: same_files "what differs" EXPECTED ACTUAL
same_files() {
  if [ "$2" != "$3" ]; then
    echo "$1 (< expected, > actual):" >&2
    diff <(echo "$2") <(echo "$3") >&2 || true
    exit 1
  fi
}
