#!/usr/bin/env bash
# The main job; filled in once the editor window exists.
set -euo pipefail
