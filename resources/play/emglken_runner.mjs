// Plays one story with emglken's engines in RemGlk mode (JSON updates on standard output, one
// event a line on standard input) for Torvane's Story bar and walkthrough replays.
// Arguments: emglken's package folder, the engine (bocfel or glulxe), the random seed, the story.
// Torvane runs it with the story's folder as working directory.
import fs from 'fs'
import * as modules from 'module'
import path from 'path'
import { pathToFileURL } from 'url'

const [home, vm, seedText, story] = process.argv.slice(1)
const seed = Number(seedText) >>> 0

// A fixed random source: Bocfel seeds itself from the clock, the Glk layer and Node from
// crypto, so all of them follow the seed and a replay meets the same random choices.
let state = seed
const next = () => {
  state = (state + 0x6D2B79F5) >>> 0
  let t = state
  t = Math.imul(t ^ (t >>> 15), t | 1)
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61)
  return (t ^ (t >>> 14)) >>> 0
}
const clock = 1700000000000 + seed * 1000
Date.now = () => clock
Math.random = () => next() / 4294967296
globalThis.crypto.getRandomValues = (array) => {
  const bytes = new Uint8Array(array.buffer, array.byteOffset, array.byteLength)
  for (let i = 0; i < bytes.length; i++) bytes[i] = next() & 255
  return array
}

// A story that prints without ever waiting for input sends no update: what it printed piles up
// inside the engine. Its memory is capped, so such a story ends instead of filling the machine.
const MEMORY_CAP = 256 * 1024 * 1024
const grow = WebAssembly.Memory.prototype.grow
WebAssembly.Memory.prototype.grow = function (pages) {
  if (this.buffer.byteLength + pages * 65536 > MEMORY_CAP) {
    process.stderr.write(`The story used more than ${MEMORY_CAP / 1048576} MB of memory; it was stopped.\n`)
    process.exit(3)
  }
  return grow.call(this, pages)
}

// The Glk layer takes three functions of lodash-es, whose index loads all of its six hundred
// modules: nearly half of the start. Those three are loaded alone (where Node has hooks).
const lodash = path.join(home, '..', 'lodash-es')
if (modules.register && fs.existsSync(path.join(lodash, 'cloneDeep.js'))) {
  const only = ['cloneDeep', 'debounce', 'unescape']
    .map((name) => `export { default as ${name} } from ${JSON.stringify(pathToFileURL(path.join(lodash, name + '.js')).href)}`)
    .join('\n')
  const hooks = `export async function resolve (specifier, context, next) {
    if (specifier === 'lodash-es') return { url: ${JSON.stringify('data:text/javascript,' + encodeURIComponent(only))}, shortCircuit: true }
    return next(specifier, context)
  }`
  modules.register('data:text/javascript,' + encodeURIComponent(hooks))
}

const build = pathToFileURL(path.join(home, 'build') + '/').href
const { CheapAsyncDialog, RemGlk } = await import(build + 'asyncglk.js')

// Saves, restores and scripts stay in the story's folder: a name that leads elsewhere is
// neither read nor written.
const folder = fs.realpathSync(process.cwd())
const inFolder = (name) => {
  const full = path.resolve(folder, name)
  return path.dirname(full) === folder
}
class FolderDialog extends CheapAsyncDialog {
  async delete (name) { if (inFolder(name)) await super.delete(name) }
  async exists (name) { return inFolder(name) && super.exists(name) }
  read (name) { return inFolder(name) ? super.read(name) : Promise.resolve(null) }
  async write (files) {
    for (const name of Object.keys(files)) if (!inFolder(name)) throw new Error(`${name} is outside the story's folder`)
    await super.write(files)
  }
  get_dirs () { return { ...super.get_dirs(), temp: folder } }
}

process.on('unhandledRejection', (error) => {
  if (error.name === 'ExitStatus' && error.message === 'Program terminated with exit(0)') process.exit(0)
  process.stderr.write(`${error.message || error}\n`)
  process.exit(1)
})

const Dialog = new FolderDialog()
const GlkOte = new RemGlk()
await Dialog.init({ GlkOte })
const args = vm === 'glulxe' ? ['--rngseed', String(seed), story] : [story]
const engine = (await import(build + vm + '.js')).default
const machine = await engine()
machine.start({ arguments: args, Dialog, GlkOte })
