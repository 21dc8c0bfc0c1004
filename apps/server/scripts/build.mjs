// Builds dist/ from src/. The server is plain ES modules on Node's standard library, so building is a
// fresh copy; dist/ is never committed and never edited by hand.
import { cpSync, rmSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
rmSync(join(root, 'dist'), { recursive: true, force: true });
cpSync(join(root, 'src'), join(root, 'dist'), { recursive: true });
